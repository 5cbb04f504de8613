#include "core/ftp/FtpFolderWriter.h"

#include <vector>

#include "core/engine/FileEntry.h"
#include "core/engine/NameEscape.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

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

FtpFolderWriter::FtpFolderWriter(std::unique_ptr<FtpClient> client, Prompter& prompter)
    : client_(std::move(client)),
      prompter_(prompter),
      times_(*client_, prompter),
      uploads_(client_->Connection().server, client_->Connection().user) {}

FtpFolderWriter::~FtpFolderWriter() = default;

std::string FtpFolderWriter::ServerPath(const std::string& path) const {
    if (!path.empty() && path.front() == '/') return path;
    return client_->HomeFolder() + path;
}

WriteOutcome FtpFolderWriter::Problem(FtpOutcome outcome) const {
    if (outcome == FtpOutcome::Cancelled) return WriteOutcome(WriteStatus::Cancelled);
    const std::string& text = client_->ErrorText();
    return WriteOutcome(WriteStatus::Failed,
                        text.empty() ? FillIn(QCoreApplication::translate(
                                           "FtpFileSystem", "the FTP server refused it"))
                                     : text);
}

void FtpFolderWriter::Forget(const std::string& folder) {
    const std::string below = folder + "/";
    knownFolders_.erase(folder);
    for (auto it = knownFolders_.lower_bound(below);
         it != knownFolders_.end() && it->starts_with(below);) {
        it = knownFolders_.erase(it);
    }
}

bool FtpFolderWriter::HoldsAnything(const std::string& folder) {
    CountingSink sink;
    return ListFolder(folder + "/", sink).Ok() && sink.any;
}

WriteOutcome FtpFolderWriter::ReachFolder(const std::string& root,
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

WriteOutcome FtpFolderWriter::CheckUpload(const std::string& temporary, const EntryFacts& facts,
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

WriteOutcome FtpFolderWriter::Upload(FileSystem& from, const std::string& fromPath,
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

WriteOutcome FtpFolderWriter::CopyIn(FileSystem& from, const std::string& fromPath,
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

WriteOutcome FtpFolderWriter::MakeFolder(const std::string& root, std::string_view relative) {
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

WriteOutcome FtpFolderWriter::RemoveFolderAt(const std::string& path) {
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

WriteOutcome FtpFolderWriter::RemoveFolder(const std::string& root, std::string_view relative) {
    std::vector<std::string_view> levels;
    if (!SplitLevels(relative, levels)) return BadLevel();
    WriteOutcome reached = ReachFolder(root, levels, levels.size() - 1, /*create=*/false);
    if (reached.status != WriteStatus::Done) return reached;
    return RemoveFolderAt(ServerPath(root) + std::string(relative));
}

WriteOutcome FtpFolderWriter::MoveToTrash(const std::string& /*root*/,
                                          std::string_view /*relative*/) {
    return WriteOutcome(WriteStatus::NoTrash, FillIn(QCoreApplication::translate(
                                                  "FtpFileSystem", "an FTP server has no trash")));
}

WriteOutcome FtpFolderWriter::DeletePermanently(const std::string& root,
                                                std::string_view relative) {
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

WriteOutcome FtpFolderWriter::Rename(const std::string& root, std::string_view relative,
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
