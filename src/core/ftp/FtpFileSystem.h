#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/engine/ListingGuard.h"
#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpFolderWriter.h"
#include "core/ftp/FtpListingParser.h"
#include "core/ftp/FtpServerTimes.h"

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
// The write side is FtpFolderWriter's.
class FtpFileSystem : public FtpFolderWriter {
  public:
    FtpFileSystem(std::unique_ptr<FtpClient> client, Prompter& prompter);
    ~FtpFileSystem() override;

    ListOutcome ListFolder(const std::string& folder, ListSink& sink) override;
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

  private:
    // The facts of a listed item, its time in UTC with how exactly it is known.
    EntryFacts FactsOf(const FtpListItem& item) const;
    // The original's time for a file whose upload could not keep it.
    void TakeUploadRecord(const std::string& serverPath, EntryFacts& facts);

    bool FindInParent(const std::string& serverPath, EntryFacts& facts);
    // Reads the listing in `listing_` into `items_`, leaving out what lists
    // nothing ("." and "..", summaries) and names that cannot be a child's
    // (into `badNames_`). False when a line cannot be read (each one is traced).
    bool ParseListing(const std::string& serverFolder, bool machineFormat);
    // One warning naming every name of `badNames_`.
    void WarnBadNames(const std::string& serverFolder);
    // Says what went wrong, unless the call was cancelled; gives what it said.
    std::string Report(const char* fixedText);
    // A folder the server did not list, with the server's reply.
    ListOutcome NotListed() const;

    ListingGuard guard_;
    std::string listing_;                     // kept between calls: one buffer for every listing
    std::vector<FtpListItem> items_;          // the items of `listing_`, naming into it
    std::vector<std::string_view> badNames_;  // names of `listing_` left out
};

}  // namespace ravelmoor
