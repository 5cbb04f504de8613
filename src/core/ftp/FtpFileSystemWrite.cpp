// The write side of a folder tree on an FTP server: uploads through a
// temporary name and a rename, folders made and removed, deletions.
#include <chrono>
#include <cstdio>

#include "core/engine/FileEntry.h"
#include "core/ftp/FtpFileSystem.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// "YYYYMMDDHHMMSS" in UTC, the form MFMT takes.
std::string MachineTime(int64_t seconds) {
    using namespace std::chrono;
    const sys_seconds time{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02u%02d%02d%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

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

WriteOutcome FtpFileSystem::Upload(FileSystem& from, const std::string& fromPath,
                                   const EntryFacts& facts, const std::string& destination,
                                   bool replacing, const CopyControl& control) {
    const std::unique_ptr<FileReader> reader = from.OpenForReading(fromPath, 0);
    if (!reader) {
        return WriteOutcome(
            WriteStatus::Failed,
            FillIn(QCoreApplication::translate("FtpFileSystem", "the original can not be opened")));
    }
    const std::string temporary =
        destination.substr(0, destination.rfind('/') + 1) + TemporaryName();
    const FtpClient::DataSource source = [&reader](char* buffer, size_t capacity) {
        return reader->Read(buffer, capacity);
    };
    WriteOutcome done;
    FtpOutcome outcome = client_->Upload(temporary, source, control.cancel, done.bytes);
    if (outcome == FtpOutcome::Done && client_->Offers("MFMT")) {
        // Without it the copy is right but carries the time of the upload.
        client_->Command("MFMT " + MachineTime(facts.lastWrite) + " " + temporary);
    }
    if (outcome == FtpOutcome::Done) {
        outcome = client_->Commands({"RNFR " + temporary, "RNTO " + destination});
        // A server that renames only onto free names: the old file goes first.
        if (outcome == FtpOutcome::Refused && replacing &&
            client_->Command("DELE " + destination) == FtpOutcome::Done) {
            outcome = client_->Commands({"RNFR " + temporary, "RNTO " + destination});
        }
    }
    if (outcome == FtpOutcome::Done) return done;
    WriteOutcome failure = Problem(outcome);
    client_->Command("DELE " + temporary);  // nothing half-written stays behind
    return failure;
}

WriteOutcome FtpFileSystem::CopyIn(FileSystem& from, const std::string& fromPath,
                                   const std::string& root, std::string_view relative,
                                   const CopyControl& control) {
    EntryFacts facts;
    if (!from.ReadFacts(fromPath, facts)) {
        return WriteOutcome(WriteStatus::Failed,
                            FillIn(QCoreApplication::translate("FtpFileSystem",
                                                               "the original is no longer there")));
    }
    if (facts.IsFolder()) {
        return WriteOutcome(WriteStatus::Failed, FillIn(QCoreApplication::translate(
                                                     "FtpFileSystem", "the original is a folder")));
    }
    std::vector<std::string_view> levels;
    if (!SplitLevels(relative, levels)) return BadLevel();
    WriteOutcome reached = ReachFolder(root, levels, levels.size() - 1, /*create=*/true);
    if (reached.status != WriteStatus::Done) return reached;

    const std::string destination = ServerPath(root) + std::string(relative);
    EntryFacts existing;
    const bool exists = ReadFacts(destination, existing);
    if (exists && existing.IsFolder()) {
        return WriteOutcome(WriteStatus::Failed,
                            FillIn(QCoreApplication::translate(
                                "FtpFileSystem", "a folder of that name is in the way")));
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
                                                         "FtpFileSystem", "it is not a folder")));
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
                                                     "FtpFileSystem", "it is no longer there")));
    }
    if (facts.IsFolder()) return RemoveFolderAt(path);
    const FtpOutcome outcome = client_->Command("DELE " + path);
    return outcome == FtpOutcome::Done ? WriteOutcome() : Problem(outcome);
}

}  // namespace ravelmoor
