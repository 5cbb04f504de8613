#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/sftp/SftpSession.h"

struct sftp_attributes_struct;

namespace ravelmoor {

class Prompter;

// The write side of a folder tree on an SSH server, over one logged-on SFTP
// session, and what the reading side (SftpFileSystem) shares with it: the
// session, the server path of an engine path, a look at one entry and the
// report of a failed connection.
//
// An upload goes to a temporary name beside the destination, gets the
// original's mode bits and time there and is renamed over the destination.
// Every level on the way to a place must be a folder (a link is Refused). A
// server has no trash: HasTrash is false, so the user is asked before
// anything is deleted for good, and MoveToTrash answers NoTrash (a sync keeps
// what it takes in the server's versions folder instead: ServerVersions).
//
// A failure of the connection (refused, lost, silent for the connection's
// timeout) is said once through the prompter, naming the folder or file and
// the host, and every later call fails.
class SftpFolderWriter : public FileSystem {
  public:
    static constexpr const char* kConnectionError = "Error on SFTP connection";

    ~SftpFolderWriter() override;

    WriteOutcome CopyIn(FileSystem& from, const std::string& fromPath, const std::string& root,
                        std::string_view relative, const CopyControl& control) override;
    WriteOutcome MakeFolder(const std::string& root, std::string_view relative) override;
    WriteOutcome SetFolderFacts(const std::string& root, std::string_view relative,
                                const EntryFacts& facts) override;
    WriteOutcome RemoveFolder(const std::string& root, std::string_view relative) override;
    bool HasTrash() const override { return false; }
    WriteOutcome MoveToTrash(const std::string& root, std::string_view relative) override;
    WriteOutcome DeletePermanently(const std::string& root, std::string_view relative) override;
    WriteOutcome Rename(const std::string& root, std::string_view relative,
                        std::string_view newRelative) override;

    // The server path of an engine path: absolute server paths stay as they
    // are, others are below the connection's directory.
    std::string ServerPath(const std::string& path) const;

  protected:
    SftpFolderWriter(std::unique_ptr<SftpSession> session, Prompter& prompter);

    struct AttributesDeleter {
        void operator()(sftp_attributes_struct* attributes) const;
    };
    // What the server said of one entry, freed with it.
    using Attributes = std::unique_ptr<sftp_attributes_struct, AttributesDeleter>;

    // Attributes for what the server says of an entry; false for the kinds
    // that are never listed (FIFOs, sockets, devices).
    static bool AttributesOf(const sftp_attributes_struct& facts, uint32_t& attributes);
    // Looks at `serverPath` without following a link: Done with its facts,
    // Refused when nothing is there, otherwise what the call came to.
    SftpOutcome Look(const std::string& serverPath, EntryFacts& facts);
    // Says a failure of the connection once; a cancel says nothing. Gives
    // what it said.
    std::string Report();
    Prompter& UserPrompter() { return prompter_; }

    std::unique_ptr<SftpSession> session_;

  private:
    // Follows the first `count` levels below `root`, each of which must be a
    // real folder, making the missing ones with `create`.
    WriteOutcome ReachFolder(const std::string& root, const std::vector<std::string_view>& levels,
                             size_t count, bool create, bool* made = nullptr);
    // Checks `relative` and reaches its folder below `root` (with `whole`,
    // the folder `relative` itself) as ReachFolder does; when Done, `path` is
    // the server path of `relative`.
    WriteOutcome ReachBelow(const std::string& root, std::string_view relative, bool whole,
                            bool create, std::string& path, bool* made = nullptr);
    // Sets the time and mode of `path` from `attributes`.
    WriteOutcome SetFacts(const std::string& path, sftp_attributes_struct& attributes);
    // Removes a temporary copy that did not go into place, so that nothing
    // half-written stays behind (unless the connection is gone).
    void DropTemporary(const std::string& temporary);
    WriteOutcome Upload(FileSystem& from, const std::string& fromPath, const EntryFacts& facts,
                        const std::string& destination, bool replacing, const CopyControl& control);
    // Checks an upload under its temporary name against what was sent: its
    // size on the server and, where the listing agent runs, its CRC-32 `sent`.
    WriteOutcome CheckUpload(const std::string& temporary, uint64_t bytes, uint32_t sent);
    WriteOutcome UploadLink(FileSystem& from, const std::string& fromPath, const EntryFacts& facts,
                            const std::string& destination, bool replacing,
                            const CopyControl& control);
    WriteOutcome PutInPlace(const std::string& temporary, const std::string& destination,
                            bool replacing, const CopyControl& control);
    WriteOutcome RemoveFolderAt(const std::string& path);
    // The outcome of a failed call on `what`, said through the prompter when
    // the connection failed.
    WriteOutcome WriteProblem(const std::string& what);

    Prompter& prompter_;
    bool reported_ = false;
    // Server folders the write side has seen to be folders.
    std::set<std::string> knownFolders_;
};

}  // namespace ravelmoor
