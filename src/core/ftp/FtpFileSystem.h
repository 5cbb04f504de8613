#pragma once

#include <QtGlobal>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpListingParser.h"

namespace ravelmoor {

class Prompter;

// A folder tree on an FTP server, reached over one logged-on connection.
// Paths are the engine's texts: absolute server paths, or paths relative to
// the folder the logon started in. Names are used exactly as listed (servers
// on Linux keep their case). A reader from OpenForReading must be gone before
// the next call, and before this object.
//
// The write side uploads to a temporary name beside the destination and
// renames it over the destination, setting the original's time where the
// server takes MFMT. Every level on the way to a place must be a folder; the
// server itself decides what a link on the server leads to. A server has no
// trash, so MoveToTrash always answers NoTrash.
class FtpFileSystem : public FileSystem {
  public:
    static constexpr const char* kConnectionError =
        QT_TRANSLATE_NOOP("FtpFileSystem", "Error on FTP connection");

    FtpFileSystem(std::unique_ptr<FtpClient> client, Prompter& prompter);
    ~FtpFileSystem() override;

    ListStatus ListFolder(const std::string& folder, ListSink& sink) override;
    std::string WhyNotListable(const std::string& folder) override;
    bool ReadFacts(const std::string& path, EntryFacts& facts) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               uint32_t attributes) override;
    void Interrupt() override;

    WriteOutcome CopyIn(FileSystem& from, const std::string& fromPath, const std::string& root,
                        std::string_view relative, const CopyControl& control) override;
    WriteOutcome MakeFolder(const std::string& root, std::string_view relative) override;
    WriteOutcome RemoveFolder(const std::string& root, std::string_view relative) override;
    bool HasTrash() const override { return false; }
    WriteOutcome MoveToTrash(const std::string& root, std::string_view relative) override;
    WriteOutcome DeletePermanently(const std::string& root, std::string_view relative) override;

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
    WriteOutcome Problem(FtpOutcome outcome) const;
    bool HoldsAnything(const std::string& folder);
    void Forget(const std::string& folder);

    std::string ServerPath(const std::string& path) const;
    bool FindInParent(const std::string& serverPath, EntryFacts& facts);
    // Reads the listing in `listing_` into `items_`, leaving out what lists
    // nothing ("." and "..", summaries) and names that cannot be a child's
    // (into `badNames_`). False when a line cannot be read (each one is traced).
    bool ParseListing(const std::string& serverFolder, bool machineFormat);
    // One warning naming every name of `badNames_`.
    void WarnBadNames(const std::string& serverFolder);
    // Says what went wrong, unless the call was cancelled.
    void Report(const char* fixedText);

    std::unique_ptr<FtpClient> client_;
    Prompter& prompter_;
    std::string listing_;                     // kept between calls: one buffer for every listing
    std::vector<FtpListItem> items_;          // the items of `listing_`, naming into it
    std::vector<std::string_view> badNames_;  // names of `listing_` left out
    // Server folders the write side has seen to be folders, so that a batch
    // of copies looks at each level once.
    std::set<std::string> knownFolders_;
};

}  // namespace ravelmoor
