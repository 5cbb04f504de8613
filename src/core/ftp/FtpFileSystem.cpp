#include "core/ftp/FtpFileSystem.h"

#include <cstdlib>
#include <ctime>
#include <vector>

#include "core/engine/FileEntry.h"
#include "core/engine/NameEscape.h"
#include "core/engine/Prompter.h"
#include "core/engine/Trace.h"
#include "core/ftp/FtpListingParser.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

uint32_t AttributesOf(const FtpListItem& item) {
    return item.kind == FtpItemKind::Folder ? kFolderAttribute : item.timeSpan;
}

class FtpFileReader : public FileReader {
  public:
    FtpFileReader(FtpClient& client, Prompter& prompter, uint64_t serial)
        : client_(client), prompter_(prompter), serial_(serial) {}
    ~FtpFileReader() override { client_.CloseDownload(serial_); }
    FtpFileReader(const FtpFileReader&) = delete;
    FtpFileReader& operator=(const FtpFileReader&) = delete;

    int64_t Read(char* buffer, size_t capacity) override {
        const int64_t got = client_.ReadDownload(serial_, buffer, capacity);
        if (got < 0 && !reported_ && !client_.Cancelled()) {
            reported_ = true;
            const std::string& text = client_.ErrorText();
            prompter_.Warn(text.empty()
                               ? FillIn(QCoreApplication::translate("FtpFileSystem", "Error"))
                               : text);
        }
        return got;
    }

  private:
    FtpClient& client_;
    Prompter& prompter_;
    uint64_t serial_;
    bool reported_ = false;
};

}  // namespace

FtpFileSystem::FtpFileSystem(std::unique_ptr<FtpClient> client, Prompter& prompter)
    : FtpFolderWriter(std::move(client), prompter), guard_(prompter) {}

FtpFileSystem::~FtpFileSystem() = default;

void FtpFileSystem::Interrupt() {
    client_->Interrupt();
}

EntryFacts FtpFileSystem::FactsOf(const FtpListItem& item) const {
    EntryFacts facts;
    facts.attributes = AttributesOf(item);
    facts.size = item.size;
    facts.lastWrite = times_.Clock().ListedTime(item);
    return facts;
}

void FtpFileSystem::TakeUploadRecord(const std::string& serverPath, EntryFacts& facts) {
    int64_t original = 0;
    if (!facts.IsFolder() && uploads_.OriginalTime(serverPath, facts.size, facts.lastWrite,
                                                   TimeSpan(facts.attributes), original)) {
        facts.lastWrite = original;
        facts.attributes &= ~kTimeSpanAttributes;
    }
}

void FtpFileSystem::LearnClock(const std::string& folder,
                               std::function<void(const ServerClock&)> onLearned) {
    std::string serverFolder = ServerPath(folder);
    if (serverFolder.empty() || serverFolder.back() != '/') serverFolder += '/';
    times_.OnLearned(std::move(onLearned));
    times_.Learn(serverFolder);
}

size_t FtpFileSystem::AskExactTimes(const std::vector<FileEntry*>& entries,
                                    std::string_view folder) {
    std::vector<FtpServerTimes::Listed> files;
    files.reserve(entries.size());
    for (const FileEntry* entry : entries) {
        files.push_back(
            {ServerPath(entry->FullPath(folder)), entry->lastWrite, TimeSpan(entry->attributes)});
    }
    std::vector<int64_t> times;
    std::vector<bool> found;
    const size_t asked = times_.ExactTimes(files, times, found);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!found[i]) continue;
        entries[i]->lastWrite = times[i];
        entries[i]->attributes &= static_cast<uint16_t>(~kTimeSpanAttributes);
    }
    return asked;
}

std::string FtpFileSystem::Report(const char* fixedText) {
    if (client_->Cancelled()) return {};  // the run is ending; a cancel says nothing
    TraceLine("FTP: %s\n", client_->ErrorText().c_str());
    std::string text;
    if (fixedText != nullptr && client_->TimedOut()) {
        // The fixed text alone would leave a stalled server looking like a
        // broken one: say what timed out and after how long.
        text = Translated("FtpFileSystem", fixedText) + "\n" + client_->ErrorText();
    } else if (fixedText != nullptr) {
        text = Translated("FtpFileSystem", fixedText);
    } else {
        text = client_->ErrorText();
        if (text.empty()) text = FillIn(QCoreApplication::translate("FtpFileSystem", "Error"));
    }
    prompter_.Warn(text);
    return text;
}

void FtpFileSystem::WarnBadNames(const std::string& serverFolder) {
    std::string text = FillIn(badNames_.size() == 1
                                  ? QCoreApplication::translate(
                                        "FtpFileSystem",
                                        "The FTP folder %1 lists a name that cannot be a file name "
                                        "here, left out:")
                                  : QCoreApplication::translate(
                                        "FtpFileSystem",
                                        "The FTP folder %1 lists names that cannot be a file name "
                                        "here, left out:"),
                              {EscapeName(serverFolder)});
    for (const std::string_view name : badNames_)
        text += " \"" + EscapeName(name) + "\"";
    prompter_.Warn(text);
}

bool FtpFileSystem::ParseListing(const std::string& serverFolder, bool machineFormat) {
    items_.clear();
    badNames_.clear();
    const auto now = static_cast<int64_t>(std::time(nullptr));
    bool trusted = true;
    std::string_view rest = listing_;
    const bool crlf = UsesCrLf(rest);
    FtpListItem item;
    // The name of the line before, when it had one: libcurl hands an ASCII
    // listing over with every CR and CR LF turned into LF, so a name that
    // holds a CR or LF arrives as a line and an unreadable rest.
    std::string_view previousName;
    bool previousWasItem = false;
    while (!rest.empty()) {
        const std::string_view line = TakeListingLine(rest, crlf);
        if (line.empty()) continue;
        const FtpLineOutcome outcome =
            machineFormat ? ParseMlsdLine(line, item) : ParseListLine(line, now, item);
        if (outcome == FtpLineOutcome::Refused && !previousName.empty()) {
            if (previousWasItem) {
                items_.pop_back();
            } else {
                badNames_.pop_back();
            }
            previousName = std::string_view(
                previousName.data(),
                static_cast<size_t>(line.data() + line.size() - previousName.data()));
            badNames_.push_back(previousName);
            previousWasItem = false;
            continue;
        }
        previousName = {};
        if (outcome == FtpLineOutcome::Item) {
            items_.push_back(item);
            previousName = item.name;
            previousWasItem = true;
        } else if (outcome == FtpLineOutcome::BadName) {
            badNames_.push_back(item.name);
            previousName = item.name;
            previousWasItem = false;
        } else if (outcome == FtpLineOutcome::Refused) {
            TraceLine("FTP: refused listing line in %s: %.*s\n", serverFolder.c_str(),
                      static_cast<int>(line.size()), line.data());
            trusted = false;
        }
    }
    return trusted;
}

ListOutcome FtpFileSystem::NotListed() const {
    const std::string& text = client_->ErrorText();
    return ListOutcome(ListStatus::NotListable,
                       text.empty() ? FillIn(QCoreApplication::translate(
                                          "FtpFileSystem", "the server does not list it"))
                                    : text);
}

ListOutcome FtpFileSystem::ListFolder(const std::string& folder, ListSink& sink) {
    std::string serverFolder = ServerPath(folder);
    if (serverFolder.empty() || serverFolder.back() != '/') serverFolder += '/';
    if (ListOutcome admitted = guard_.Admit(serverFolder); !admitted.Ok()) return admitted;
    bool machineFormat = false;
    switch (client_->List(serverFolder, listing_, machineFormat)) {
        case FtpOutcome::Done:
            break;
        case FtpOutcome::Refused:
            // No such folder, or no access: like a local folder that cannot be opened.
            return NotListed();
        case FtpOutcome::Cancelled:
            return ListOutcome(ListStatus::Failed);
        case FtpOutcome::Failed:
            return ListOutcome(ListStatus::Failed, Report(kConnectionError));
    }

    if (!ParseListing(serverFolder, machineFormat)) {
        // Nothing listed here can be trusted to be complete: the folder counts
        // as one that cannot be read, and the run goes on without it.
        return NotListed();
    }
    if (!badNames_.empty()) WarnBadNames(serverFolder);
    for (const std::string_view name : badNames_) {
        // A name with a line break may exist on a local side; the others
        // (".", "..", empty, with '/' or NUL) cannot.
        if (!name.empty() && name != "." && name != ".." &&
            name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos) {
            sink.OnUnusableName(name);
        }
    }
    ListingGuard::Sink guarded(guard_, serverFolder, sink);
    for (const FtpListItem& item : items_) {
        EntryFacts listed = FactsOf(item);
        if (!uploads_.Empty()) TakeUploadRecord(serverFolder + std::string(item.name), listed);
        DirEntryFacts facts;
        facts.name = item.name;
        facts.attributes = listed.attributes;
        facts.size = listed.size;
        facts.lastWrite = listed.lastWrite;
        if (!guarded.OnEntry(facts)) return {};
    }
    guarded.Finish();
    return {};
}

bool FtpFileSystem::ReadFacts(const std::string& path, EntryFacts& facts) {
    std::string serverPath = ServerPath(path);
    while (serverPath.size() > 1 && serverPath.back() == '/')
        serverPath.pop_back();
    if (serverPath.empty()) return false;
    if (client_->OffersMachineListing()) {
        std::vector<std::string> reply;
        const FtpOutcome outcome = client_->Command("MLST " + serverPath, &reply);
        if (outcome == FtpOutcome::Done) {
            // The facts come on a line of their own, after one blank.
            for (const std::string& line : reply) {
                if (line.size() < 2 || line.front() != ' ') continue;
                FtpListItem item;
                if (ParseMlstLine(std::string_view(line).substr(1), item) != FtpLineOutcome::Item) {
                    return false;
                }
                facts = FactsOf(item);
                TakeUploadRecord(serverPath, facts);
                return true;
            }
            return false;
        }
        if (outcome != FtpOutcome::Failed) return false;  // nothing there, or cancelled
        // A server that lists with MLSD may still not know MLST: look in the folder.
    }
    if (!FindInParent(serverPath, facts)) return false;
    // A copy made from it takes this time: to the second, where the server says it.
    int64_t exact = 0;
    if ((facts.attributes & kTimeSpanAttributes) != 0 &&
        times_.ExactTime(serverPath, facts.lastWrite, TimeSpan(facts.attributes), exact)) {
        facts.lastWrite = exact;
        facts.attributes &= ~kTimeSpanAttributes;
    }
    TakeUploadRecord(serverPath, facts);
    return true;
}

bool FtpFileSystem::FindInParent(const std::string& serverPath, EntryFacts& facts) {
    if (serverPath == "/") {
        facts = EntryFacts();
        facts.attributes = kFolderAttribute;
        return true;
    }
    const size_t slash = serverPath.rfind('/');
    const std::string parent = serverPath.substr(0, slash + 1);
    const std::string name = serverPath.substr(slash + 1);
    bool machineFormat = false;
    if (client_->List(parent, listing_, machineFormat) != FtpOutcome::Done) return false;
    // A line that cannot be read says nothing about the others.
    ParseListing(parent, machineFormat);
    for (const FtpListItem& item : items_) {
        if (item.name == name) {
            facts = FactsOf(item);
            return true;
        }
    }
    return false;
}

std::unique_ptr<FileReader> FtpFileSystem::OpenForReading(const std::string& path,
                                                          uint32_t /*attributes*/) {
    // A link listed on the server is read as the server serves it.
    uint64_t serial = 0;
    if (client_->OpenDownload(ServerPath(path), serial) != FtpOutcome::Done) {
        Report(nullptr);
        return nullptr;
    }
    return std::make_unique<FtpFileReader>(*client_, prompter_, serial);
}

}  // namespace ravelmoor
