#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/sftp/SftpSession.h"

namespace ravelmoor {

class Prompter;

// A folder tree on an SSH server, reached over one logged-on SFTP session.
// Paths are the engine's texts: absolute server paths, or paths below the
// connection's directory. Names are bytes, exactly as the server lists them;
// links are never followed: a listing and ReadFacts give a link's own facts,
// and its content is the link text. A reader from OpenForReading must be
// gone before the next call, and before this object.
//
// The write side uploads to a temporary name beside the destination, sets
// the original's mode bits and time there and renames it over the
// destination. Every level on the way to a place must be a folder (a link is
// Refused). A server has no trash: HasTrash is false, so the user is asked
// before anything is deleted for good, and MoveToTrash answers NoTrash.
//
// A failure of the connection (refused, lost, silent for the connection's
// timeout) is said once through the prompter, naming the folder or file and
// the host, and every later call fails.
class SftpFileSystem : public FileSystem {
  public:
    static constexpr const char* kConnectionError = "Error on SFTP connection";

    SftpFileSystem(std::unique_ptr<SftpSession> session, Prompter& prompter);
    ~SftpFileSystem() override;

    ListStatus ListFolder(const std::string& folder, ListSink& sink) override;
    std::string WhyNotListable(const std::string& folder) override;
    bool ReadFacts(const std::string& path, EntryFacts& facts) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               uint32_t attributes) override;
    void Interrupt() override;

    WriteOutcome CopyIn(FileSystem& from, const std::string& fromPath, const std::string& root,
                        std::string_view relative, const CopyControl& control) override;
    WriteOutcome MakeFolder(const std::string& root, std::string_view relative) override;
    WriteOutcome SetFolderFacts(const std::string& root, std::string_view relative,
                                const EntryFacts& facts) override;
    WriteOutcome RemoveFolder(const std::string& root, std::string_view relative) override;
    bool HasTrash() const override { return false; }
    WriteOutcome MoveToTrash(const std::string& root, std::string_view relative) override;
    WriteOutcome DeletePermanently(const std::string& root, std::string_view relative) override;

    // The server path of an engine path.
    std::string ServerPath(const std::string& path) const;

  private:
    // Looks at `serverPath` without following a link: Done with its facts,
    // Refused when nothing is there, otherwise what the call came to.
    SftpOutcome Look(const std::string& serverPath, EntryFacts& facts);
    // Follows the first `count` levels below `root`, each of which must be a
    // real folder, making the missing ones with `create`.
    WriteOutcome ReachFolder(const std::string& root, const std::vector<std::string_view>& levels,
                             size_t count, bool create, bool* made = nullptr);
    WriteOutcome Upload(FileSystem& from, const std::string& fromPath, const EntryFacts& facts,
                        const std::string& destination, bool replacing, const CopyControl& control);
    WriteOutcome UploadLink(FileSystem& from, const std::string& fromPath, const EntryFacts& facts,
                            const std::string& destination, bool replacing,
                            const CopyControl& control);
    WriteOutcome PutInPlace(const std::string& temporary, const std::string& destination,
                            bool replacing, const CopyControl& control);
    WriteOutcome RemoveFolderAt(const std::string& path);
    // The outcome of a failed call on `what`, said through the prompter when
    // the connection failed.
    WriteOutcome WriteProblem(const std::string& what);
    // Says a failure of the connection once; a cancel says nothing.
    void Report();

    std::unique_ptr<SftpSession> session_;
    Prompter& prompter_;
    bool reported_ = false;
    std::string whyNotListable_;
    // Server folders the write side has seen to be folders.
    std::set<std::string> knownFolders_;
};

}  // namespace ravelmoor
