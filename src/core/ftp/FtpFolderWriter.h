#pragma once

#include <QtGlobal>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpServerTimes.h"
#include "core/ftp/UploadTimes.h"

namespace ravelmoor {

class Prompter;

// The write side of a folder tree on an FTP server, over one logged-on
// connection (FtpFileSystem adds the reading). It uploads to a temporary
// name beside the destination, gives it the original's time with the command
// the server takes for that (or, where none works, remembers the time the
// upload got: UploadTimes), and renames it over the destination. Every level
// on the way to a place must be a folder; the server itself decides what a
// link on the server leads to. A server has no trash, so MoveToTrash always
// answers NoTrash (a sync keeps what it takes in the server's versions folder
// instead: ServerVersions).
class FtpFolderWriter : public FileSystem {
  public:
    static constexpr const char* kConnectionError =
        QT_TRANSLATE_NOOP("FtpFileSystem", "Error on FTP connection");

    ~FtpFolderWriter() override;
    FtpFolderWriter(const FtpFolderWriter&) = delete;
    FtpFolderWriter& operator=(const FtpFolderWriter&) = delete;

    WriteOutcome CopyIn(FileSystem& from, const std::string& fromPath, const std::string& root,
                        std::string_view relative, const CopyControl& control) override;
    WriteOutcome MakeFolder(const std::string& root, std::string_view relative) override;
    WriteOutcome RemoveFolder(const std::string& root, std::string_view relative) override;
    bool HasTrash() const override { return false; }
    WriteOutcome MoveToTrash(const std::string& root, std::string_view relative) override;
    WriteOutcome DeletePermanently(const std::string& root, std::string_view relative) override;
    WriteOutcome Rename(const std::string& root, std::string_view relative,
                        std::string_view newRelative) override;

  protected:
    // Later warnings (a broken connection, a clock that cannot be read) go
    // to `prompter`.
    FtpFolderWriter(std::unique_ptr<FtpClient> client, Prompter& prompter);

    // The server path of an engine path: absolute server paths stay as they
    // are, others are below the folder the logon started in.
    std::string ServerPath(const std::string& path) const;
    // A failed or cancelled server call as a write's outcome, with the
    // server's reply.
    WriteOutcome Problem(FtpOutcome outcome) const;

    std::unique_ptr<FtpClient> client_;
    Prompter& prompter_;
    FtpServerTimes times_;
    UploadTimes uploads_;

  private:
    // Follows the first `count` levels below `root`, each of which must be a
    // folder, making the missing ones with `create` (`made` tells whether it
    // made any).
    WriteOutcome ReachFolder(const std::string& root, const std::vector<std::string_view>& levels,
                             size_t count, bool create, bool* made = nullptr);
    // Checks an upload under its temporary name: all the original's bytes
    // were sent and (with `control.verify`) the server kept them all.
    WriteOutcome CheckUpload(const std::string& temporary, const EntryFacts& facts, uint64_t bytes,
                             const CopyControl& control);
    WriteOutcome Upload(FileSystem& from, const std::string& fromPath, const EntryFacts& facts,
                        const std::string& destination, bool replacing, const CopyControl& control);
    WriteOutcome RemoveFolderAt(const std::string& path);
    bool HoldsAnything(const std::string& folder);
    void Forget(const std::string& folder);

    // Server folders the write side has seen to be folders, so that a batch
    // of copies looks at each level once.
    std::set<std::string> knownFolders_;
};

}  // namespace ravelmoor
