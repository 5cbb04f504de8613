#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/engine/ListingGuard.h"
#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpListingParser.h"
#include "core/ftp/FtpServerTimes.h"
#include "core/ftp/UploadTimes.h"

namespace ravelmoor {

class Prompter;

// A folder tree on an FTP server, reached over one logged-on connection.
// Paths are the engine's texts: absolute server paths, or paths relative to
// the folder the logon started in. Names are used exactly as listed (servers
// on Linux keep their case). A reader from OpenForReading must be gone before
// the next call, and before this object.
//
// Times: a LIST line gives a minute or a day, read through the server's
// clock as a probe found it (FtpServerTimes); AskExactTimes asks MDTM for the
// files whose comparison depends on the exact second.
//
// The write side uploads to a temporary name beside the destination, gives
// it the original's time with the command the server takes for that (or,
// where none works, remembers the time the upload got: UploadTimes), and
// renames it over the destination. Every level on the way to a place must be a folder; the
// server itself decides what a link on the server leads to. A server has no
// trash, so MoveToTrash always answers NoTrash (a sync keeps what it takes in
// the server's versions folder instead: ServerVersions).
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
    size_t AskExactTimes(const std::vector<FileEntry*>& entries, std::string_view folder) override;

    // Finds how the server's clock reads, with a probe file in `folder` (the
    // side's root), once per connection; `onLearned` gets what was found.
    void LearnClock(const std::string& folder,
                    std::function<void(const ServerClock&)> onLearned = {});
    const ServerClock& Clock() const { return times_.Clock(); }

    WriteOutcome CopyIn(FileSystem& from, const std::string& fromPath, const std::string& root,
                        std::string_view relative, const CopyControl& control) override;
    WriteOutcome MakeFolder(const std::string& root, std::string_view relative) override;
    WriteOutcome RemoveFolder(const std::string& root, std::string_view relative) override;
    bool HasTrash() const override { return false; }
    WriteOutcome MoveToTrash(const std::string& root, std::string_view relative) override;
    WriteOutcome DeletePermanently(const std::string& root, std::string_view relative) override;
    WriteOutcome Rename(const std::string& root, std::string_view relative,
                        std::string_view newRelative) override;

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
    // The facts of a listed item, its time in UTC with how exactly it is known.
    EntryFacts FactsOf(const FtpListItem& item) const;
    // The original's time for a file whose upload could not keep it.
    void TakeUploadRecord(const std::string& serverPath, EntryFacts& facts);

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
    FtpServerTimes times_;
    UploadTimes uploads_;
    ListingGuard guard_;
    std::string refusal_;             // why the guard did not list the last folder asked for
    std::string listing_;             // kept between calls: one buffer for every listing
    std::vector<FtpListItem> items_;  // the items of `listing_`, naming into it
    std::vector<std::string_view> badNames_;  // names of `listing_` left out
    // Server folders the write side has seen to be folders, so that a batch
    // of copies looks at each level once.
    std::set<std::string> knownFolders_;
};

}  // namespace ravelmoor
