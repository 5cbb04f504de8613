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

// The levels of `relative`; false when one is empty, "." or "..", since the
// server would take such a path somewhere else than below the root.
bool SplitLevels(std::string_view relative, std::vector<std::string_view>& levels) {
    levels.clear();
    while (true) {
        const size_t slash = relative.find('/');
        const std::string_view level = relative.substr(0, slash);
        if (level.empty() || level == "." || level == "..") return false;
        levels.push_back(level);
        if (slash == std::string_view::npos) return true;
        relative.remove_prefix(slash + 1);
    }
}

WriteOutcome BadLevel() {
    return WriteOutcome(WriteStatus::Refused, R"(the path has an empty, "." or ".." level)");
}

// FTP servers that speak UTF-8 read a name's bytes as UTF-8 and keep what
// they make of them: a name that is not UTF-8 would land under another name
// and the next compare would show two rows. Such a name is refused per file.
WriteOutcome NotUtf8(std::string_view relative) {
    if (IsValidUtf8(relative)) return {};
    return WriteOutcome(
        WriteStatus::Refused,
        FillIn(QCoreApplication::translate(
            "FtpFileSystem",
            "the name is not UTF-8, so the server would keep it under another name")));
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

class CountingSink : public ListSink {
  public:
    bool OnEntry(const DirEntryFacts& /*facts*/) override {
        any = true;
        return false;
    }
    bool any = false;
};

}  // namespace

FtpFileSystem::FtpFileSystem(std::unique_ptr<FtpClient> client, Prompter& prompter)
    : client_(std::move(client)),
      prompter_(prompter),
      times_(*client_, prompter),
      uploads_(client_->Connection().server, client_->Connection().user),
      guard_(prompter) {}

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

std::string FtpFileSystem::ServerPath(const std::string& path) const {
    if (!path.empty() && path.front() == '/') return path;
    return client_->HomeFolder() + path;
}

void FtpFileSystem::Report(const char* fixedText) {
    if (client_->Cancelled()) return;  // the run is ending; a cancel says nothing
    TraceLine("FTP: %s\n", client_->ErrorText().c_str());
    if (fixedText != nullptr && client_->TimedOut()) {
        // The fixed text alone would leave a stalled server looking like a
        // broken one: say what timed out and after how long.
        prompter_.Warn(Translated("FtpFileSystem", fixedText) + "\n" + client_->ErrorText());
    } else if (fixedText != nullptr) {
        prompter_.Warn(Translated("FtpFileSystem", fixedText));
    } else {
        const std::string& text = client_->ErrorText();
        prompter_.Warn(text.empty() ? FillIn(QCoreApplication::translate("FtpFileSystem", "Error"))
                                    : text);
    }
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

ListStatus FtpFileSystem::ListFolder(const std::string& folder, ListSink& sink) {
    std::string serverFolder = ServerPath(folder);
    if (serverFolder.empty() || serverFolder.back() != '/') serverFolder += '/';
    refusal_ = guard_.Refusal(serverFolder);
    if (!refusal_.empty()) return ListStatus::NotListable;
    bool machineFormat = false;
    switch (client_->List(serverFolder, listing_, machineFormat)) {
        case FtpOutcome::Done:
            break;
        case FtpOutcome::Refused:
            // No such folder, or no access: like a local folder that cannot be opened.
            return ListStatus::NotListable;
        case FtpOutcome::Cancelled:
            return ListStatus::Failed;
        case FtpOutcome::Failed:
            Report(kConnectionError);
            return ListStatus::Failed;
    }

    if (!ParseListing(serverFolder, machineFormat)) {
        // Nothing listed here can be trusted to be complete: the folder counts
        // as one that cannot be read, and the run goes on without it.
        return ListStatus::NotListable;
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
        if (!guarded.OnEntry(facts)) return ListStatus::Listed;
    }
    guarded.Finish();
    return ListStatus::Listed;
}

std::string FtpFileSystem::WhyNotListable(const std::string& /*folder*/) {
    if (!refusal_.empty()) return refusal_;
    const std::string& text = client_->ErrorText();
    return text.empty()
               ? FillIn(QCoreApplication::translate("FtpFileSystem", "the server does not list it"))
               : text;
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

// The write side: uploads through a temporary name and a rename, folders
// made and removed, deletions.
WriteOutcome FtpFileSystem::Problem(FtpOutcome outcome) const {
    if (outcome == FtpOutcome::Cancelled) return WriteOutcome(WriteStatus::Cancelled);
    const std::string& text = client_->ErrorText();
    return WriteOutcome(WriteStatus::Failed,
                        text.empty() ? FillIn(QCoreApplication::translate(
                                           "FtpFileSystem", "the FTP server refused it"))
                                     : text);
}

void FtpFileSystem::Forget(const std::string& folder) {
    const std::string below = folder + "/";
    knownFolders_.erase(folder);
    for (auto it = knownFolders_.lower_bound(below);
         it != knownFolders_.end() && it->starts_with(below);) {
        it = knownFolders_.erase(it);
    }
}

bool FtpFileSystem::HoldsAnything(const std::string& folder) {
    CountingSink sink;
    return ListFolder(folder + "/", sink) == ListStatus::Listed && sink.any;
}

WriteOutcome FtpFileSystem::ReachFolder(const std::string& root,
                                        const std::vector<std::string_view>& levels, size_t count,
                                        bool create, bool* made) {
    std::string path = ServerPath(root);
    for (size_t i = 0; i < count; ++i) {
        path.append(levels[i]);
        if (!knownFolders_.contains(path)) {
            EntryFacts facts;
            if (ReadFacts(path, facts)) {
                if (!facts.IsFolder()) {
                    return WriteOutcome(
                        WriteStatus::Refused,
                        FillIn(QCoreApplication::translate("FtpFileSystem",
                                                           "a file or link is in the way at %1"),
                               {Quoted(path)}));
                }
            } else {
                if (client_->Cancelled()) return WriteOutcome(WriteStatus::Cancelled);
                if (!create) {
                    return WriteOutcome(WriteStatus::Failed,
                                        FillIn(QCoreApplication::translate(
                                                   "FtpFileSystem", "the folder %1 is not there"),
                                               {Quoted(path)}));
                }
                const FtpOutcome outcome = client_->Command("MKD " + path);
                if (outcome != FtpOutcome::Done) return Problem(outcome);
                if (made != nullptr) *made = true;
            }
            knownFolders_.insert(path);
        }
        path.push_back('/');
    }
    return {};
}

WriteOutcome FtpFileSystem::CheckUpload(const std::string& temporary, const EntryFacts& facts,
                                        uint64_t bytes, const CopyControl& control) {
    if (bytes != facts.size) {
        return WriteOutcome(
            WriteStatus::Failed,
            FillIn(QCoreApplication::translate("LocalFolderWriter",
                                               "%1 of %2 bytes arrived; the copy is incomplete"),
                   {std::to_string(bytes), std::to_string(facts.size)}));
    }
    if (!control.verify) return {};
    // What the server kept must be all that was sent. SIZE says it of the one
    // file, however large its folder, and of a name that LIST hides.
    uint64_t kept = 0;
    bool known = false;
    std::vector<std::string> reply;
    if (client_->Offers("SIZE") &&
        client_->Command("SIZE " + temporary, &reply) == FtpOutcome::Done) {
        for (const std::string& line : reply) {
            if (line.size() > 4 && line.compare(0, 4, "213 ") == 0) {
                char* end = nullptr;
                kept = std::strtoull(line.c_str() + 4, &end, 10);
                known = end != line.c_str() + 4;
            }
        }
    }
    EntryFacts listed;
    if (!known && ReadFacts(temporary, listed)) {
        kept = listed.size;
        known = true;
    }
    if (!known || kept != bytes) {
        return WriteOutcome(
            WriteStatus::Failed,
            FillIn(QCoreApplication::translate(
                       "FtpFileSystem",
                       "the server kept %1 of the %2 bytes sent; it was not put in place"),
                   {std::to_string(kept), std::to_string(bytes)}));
    }
    return {};
}

WriteOutcome FtpFileSystem::Upload(FileSystem& from, const std::string& fromPath,
                                   const EntryFacts& facts, const std::string& destination,
                                   bool replacing, const CopyControl& control) {
    const std::unique_ptr<FileReader> reader = from.OpenForReading(fromPath, 0);
    if (!reader) {
        return WriteOutcome(
            WriteStatus::Failed,
            FillIn(QCoreApplication::translate("FileSystem", "the original can not be opened")));
    }
    const std::string temporary =
        destination.substr(0, destination.rfind('/') + 1) + TemporaryName();
    const FtpClient::DataSource source = [&reader, &control](char* buffer, size_t capacity) {
        const int64_t got = reader->Read(buffer, capacity);
        if (got > 0) control.Moved(static_cast<uint64_t>(got));
        return got;
    };
    // The first upload of a connection whose clock no probe found yet (its
    // root was not there) finds it here, where a folder now is.
    times_.Learn(destination.substr(0, destination.rfind('/') + 1));
    WriteOutcome done;
    FtpOutcome outcome = client_->Upload(temporary, source, control.cancel, done.bytes);
    if (outcome == FtpOutcome::Done) {
        if (WriteOutcome checked = CheckUpload(temporary, facts, done.bytes, control);
            !checked.Ok()) {
            client_->Command("DELE " + temporary);  // nothing half-written stays behind
            return checked;
        }
    }
    // Without it the copy is right but carries the time of the upload.
    const bool kept = outcome == FtpOutcome::Done && times_.Keep(temporary, facts.lastWrite);
    if (outcome == FtpOutcome::Done && replacing && control.setAside) {
        // The old version is put where it can be got back before the new one takes its name.
        WriteOutcome aside = control.setAside();
        if (aside.status != WriteStatus::Done) {
            client_->Command("DELE " + temporary);
            return aside;
        }
    }
    if (outcome == FtpOutcome::Done) {
        outcome = client_->Commands({"RNFR " + temporary, "RNTO " + destination});
        // A server that renames only onto free names: the old file goes first.
        if (outcome == FtpOutcome::Refused && replacing &&
            client_->Command("DELE " + destination) == FtpOutcome::Done) {
            outcome = client_->Commands({"RNFR " + temporary, "RNTO " + destination});
        }
    }
    if (outcome == FtpOutcome::Done) {
        uploads_.Forget(destination);
        EntryFacts now;
        if (!kept && ReadFacts(destination, now)) {
            uploads_.Remember(destination, now.size, now.lastWrite, TimeSpan(now.attributes),
                              facts.lastWrite);
        }
        return done;
    }
    WriteOutcome failure = Problem(outcome);
    client_->Command("DELE " + temporary);  // nothing half-written stays behind
    return failure;
}

WriteOutcome FtpFileSystem::CopyIn(FileSystem& from, const std::string& fromPath,
                                   const std::string& root, std::string_view relative,
                                   const CopyControl& control) {
    EntryFacts facts;
    if (WriteOutcome gone = ReadOriginal(from, fromPath, facts); gone.status != WriteStatus::Done) {
        return gone;
    }
    std::vector<std::string_view> levels;
    if (!SplitLevels(relative, levels)) return BadLevel();
    if (WriteOutcome refused = NotUtf8(relative); refused.status != WriteStatus::Done) {
        return refused;
    }
    WriteOutcome reached = ReachFolder(root, levels, levels.size() - 1, /*create=*/true);
    if (reached.status != WriteStatus::Done) return reached;

    const std::string destination = ServerPath(root) + std::string(relative);
    EntryFacts existing;
    const bool exists = ReadFacts(destination, existing);
    if (exists && existing.IsFolder()) {
        return WriteOutcome(WriteStatus::Failed,
                            FillIn(QCoreApplication::translate(
                                "FileSystem", "a folder of that name is in the way")));
    }
    if (exists && !control.replaceExisting) return WriteOutcome(WriteStatus::Exists);
    if (control.Cancelled()) return WriteOutcome(WriteStatus::Cancelled);
    if ((facts.attributes & kSymlinkAttribute) != 0) {
        return WriteOutcome(WriteStatus::Failed,
                            FillIn(QCoreApplication::translate(
                                "FtpFileSystem", "an FTP server cannot be given a symbolic link")));
    }
    return Upload(from, fromPath, facts, destination, exists, control);
}

WriteOutcome FtpFileSystem::MakeFolder(const std::string& root, std::string_view relative) {
    std::vector<std::string_view> levels;
    if (!SplitLevels(relative, levels)) return BadLevel();
    if (WriteOutcome refused = NotUtf8(relative); refused.status != WriteStatus::Done) {
        return refused;
    }
    bool made = false;
    WriteOutcome outcome = ReachFolder(root, levels, levels.size(), /*create=*/true, &made);
    if (outcome.status != WriteStatus::Done) return outcome;
    return WriteOutcome(made ? WriteStatus::Done : WriteStatus::Exists);
}

WriteOutcome FtpFileSystem::RemoveFolderAt(const std::string& path) {
    const FtpOutcome outcome = client_->Command("RMD " + path);
    if (outcome == FtpOutcome::Done) {
        Forget(path);
        return {};
    }
    WriteOutcome failure = Problem(outcome);
    if (outcome == FtpOutcome::Cancelled) return failure;
    EntryFacts facts;
    if (ReadFacts(path, facts)) {
        if (!facts.IsFolder()) {
            return WriteOutcome(WriteStatus::Failed, FillIn(QCoreApplication::translate(
                                                         "FileSystem", "it is not a folder")));
        }
        if (HoldsAnything(path)) return WriteOutcome(WriteStatus::NotEmpty);
    }
    return failure;
}

WriteOutcome FtpFileSystem::RemoveFolder(const std::string& root, std::string_view relative) {
    std::vector<std::string_view> levels;
    if (!SplitLevels(relative, levels)) return BadLevel();
    WriteOutcome reached = ReachFolder(root, levels, levels.size() - 1, /*create=*/false);
    if (reached.status != WriteStatus::Done) return reached;
    return RemoveFolderAt(ServerPath(root) + std::string(relative));
}

WriteOutcome FtpFileSystem::MoveToTrash(const std::string& /*root*/,
                                        std::string_view /*relative*/) {
    return WriteOutcome(WriteStatus::NoTrash, FillIn(QCoreApplication::translate(
                                                  "FtpFileSystem", "an FTP server has no trash")));
}

WriteOutcome FtpFileSystem::DeletePermanently(const std::string& root, std::string_view relative) {
    std::vector<std::string_view> levels;
    if (!SplitLevels(relative, levels)) return BadLevel();
    WriteOutcome reached = ReachFolder(root, levels, levels.size() - 1, /*create=*/false);
    if (reached.status != WriteStatus::Done) return reached;
    const std::string path = ServerPath(root) + std::string(relative);
    EntryFacts facts;
    if (!ReadFacts(path, facts)) {
        if (client_->Cancelled()) return WriteOutcome(WriteStatus::Cancelled);
        return WriteOutcome(WriteStatus::Failed, FillIn(QCoreApplication::translate(
                                                     "FileSystem", "it is no longer there")));
    }
    if (facts.IsFolder()) return RemoveFolderAt(path);
    const FtpOutcome outcome = client_->Command("DELE " + path);
    if (outcome != FtpOutcome::Done) return Problem(outcome);
    uploads_.Forget(path);
    return {};
}

WriteOutcome FtpFileSystem::Rename(const std::string& root, std::string_view relative,
                                   std::string_view newRelative) {
    std::vector<std::string_view> levels;
    if (!SplitLevels(relative, levels)) return BadLevel();
    WriteOutcome reached = ReachFolder(root, levels, levels.size() - 1, /*create=*/false);
    if (reached.status != WriteStatus::Done) return reached;
    // Both names are the server's own bytes, as it listed them.
    if (!SplitLevels(newRelative, levels)) return BadLevel();
    reached = ReachFolder(root, levels, levels.size() - 1, /*create=*/true);
    if (reached.status != WriteStatus::Done) return reached;
    const std::string from = ServerPath(root) + std::string(relative);
    const std::string to = ServerPath(root) + std::string(newRelative);
    // Most servers let RNTO replace what is there: the new place must be free.
    EntryFacts there;
    if (ReadFacts(to, there)) return WriteOutcome(WriteStatus::Exists, "something is there");
    if (client_->Cancelled()) return WriteOutcome(WriteStatus::Cancelled);
    const FtpOutcome outcome = client_->Commands({"RNFR " + from, "RNTO " + to});
    if (outcome != FtpOutcome::Done) return Problem(outcome);
    uploads_.Move(from, to);
    return {};
}

}  // namespace ravelmoor
