#include "core/sftp/SftpFolderWriter.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <libssh/libssh.h>
#include <libssh/sftp.h>
#include <sys/stat.h>

#include <memory>

#include "core/engine/FileEntry.h"
#include "core/engine/Prompter.h"
#include "core/sftp/SftpWritePipe.h"

namespace ravelmoor {
namespace {

// A piece of an upload: what one write request carries.
constexpr size_t kUploadPiece = SftpWritePipe::kPiece;
constexpr size_t kMaxLinkText = 65536;

// The levels of `relative`; false when one is empty, "." or "..", which
// would lead the server somewhere else than below the root.
bool LevelsOf(std::string_view relative, std::vector<std::string_view>& levels) {
    levels.clear();
    for (size_t start = 0;;) {
        const size_t slash = relative.find('/', start);
        const std::string_view level =
            relative.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (level.empty() || level == "." || level == "..") return false;
        levels.push_back(level);
        if (slash == std::string_view::npos) return true;
        start = slash + 1;
    }
}

WriteOutcome BadPath() {
    return WriteOutcome(WriteStatus::Refused, R"(the path has an empty, "." or ".." level)");
}

// The original's mode bits and time for the copy; a time before 1970 or after
// 2106 cannot be said in the protocol and is left to the server.
sftp_attributes_struct AttributesFor(const EntryFacts& facts) {
    sftp_attributes_struct attributes{};
    attributes.flags = SSH_FILEXFER_ATTR_PERMISSIONS;
    attributes.permissions = facts.mode != 0 ? (facts.mode & 07777) : 0644;
    if (facts.lastWrite >= 0 && facts.lastWrite <= int64_t{UINT32_MAX}) {
        attributes.flags |= SSH_FILEXFER_ATTR_ACMODTIME;
        attributes.atime = static_cast<uint32_t>(facts.lastWrite);
        attributes.mtime = static_cast<uint32_t>(facts.lastWrite);
    }
    return attributes;
}

// Whether the original still has the size and time it had when the copy began.
bool StillAsItWas(FileSystem& from, const std::string& fromPath, const EntryFacts& before) {
    EntryFacts now;
    if (!from.ReadFacts(fromPath, now)) return false;
    return now.attributes == before.attributes && now.size == before.size &&
           now.lastWrite == before.lastWrite &&
           now.lastWriteNanoseconds == before.lastWriteNanoseconds;
}

}  // namespace

SftpFolderWriter::SftpFolderWriter(std::unique_ptr<SftpSession> session, Prompter& prompter)
    : session_(std::move(session)), prompter_(prompter) {}

SftpFolderWriter::~SftpFolderWriter() = default;

void SftpFolderWriter::AttributesDeleter::operator()(sftp_attributes_struct* attributes) const {
    sftp_attributes_free(attributes);
}

bool SftpFolderWriter::AttributesOf(const sftp_attributes_struct& facts, uint32_t& attributes) {
    uint8_t type = facts.type;
    if ((facts.flags & SSH_FILEXFER_ATTR_PERMISSIONS) != 0) {
        const mode_t mode = facts.permissions;
        type = S_ISREG(mode)   ? SSH_FILEXFER_TYPE_REGULAR
               : S_ISDIR(mode) ? SSH_FILEXFER_TYPE_DIRECTORY
               : S_ISLNK(mode) ? SSH_FILEXFER_TYPE_SYMLINK
                               : SSH_FILEXFER_TYPE_SPECIAL;
    }
    switch (type) {
        case SSH_FILEXFER_TYPE_REGULAR:
            attributes = 0;
            return true;
        case SSH_FILEXFER_TYPE_DIRECTORY:
            attributes = kFolderAttribute;
            return true;
        case SSH_FILEXFER_TYPE_SYMLINK:
            attributes = kSymlinkAttribute;
            return true;
        default:
            return false;
    }
}

std::string SftpFolderWriter::ServerPath(const std::string& path) const {
    if (!path.empty() && path.front() == '/') return path;
    return session_->StartFolder() + path;
}

std::string SftpFolderWriter::Report() {
    if (reported_ || session_->Cancelled() || session_->ErrorText().empty()) return {};
    if (session_->Broken()) reported_ = true;  // every later call fails the same way
    std::string text = std::string(kConnectionError) + "\n" + session_->ErrorText();
    prompter_.Warn(text);
    return text;
}

SftpOutcome SftpFolderWriter::Look(const std::string& serverPath, EntryFacts& facts) {
    if (session_->Broken()) return SftpOutcome::Failed;
    Attributes found;
    {
        const SftpSession::Call call(*session_);
        found.reset(sftp_lstat(session_->Sftp(), serverPath.c_str()));
    }
    if (!found) {
        const SftpOutcome outcome = session_->Problem("looking at " + serverPath);
        if (outcome == SftpOutcome::Failed) Report();
        return outcome;
    }
    facts = EntryFacts();
    if (!AttributesOf(*found, facts.attributes)) return SftpOutcome::Refused;
    facts.size = facts.IsFolder() ? 0 : found->size;
    facts.lastWrite = found->mtime;
    facts.mode = found->permissions & 07777;
    return SftpOutcome::Done;
}

WriteOutcome SftpFolderWriter::WriteProblem(const std::string& what) {
    const SftpOutcome outcome = session_->Problem(what);
    if (outcome == SftpOutcome::Cancelled) return WriteOutcome(WriteStatus::Cancelled);
    if (outcome == SftpOutcome::Failed) Report();
    return WriteOutcome(WriteStatus::Failed, session_->ErrorText());
}

WriteOutcome SftpFolderWriter::ReachFolder(const std::string& root,
                                           const std::vector<std::string_view>& levels,
                                           size_t count, bool create, bool* made) {
    std::string path = ServerPath(root);
    for (size_t i = 0; i < count; ++i) {
        path.append(levels[i]);
        if (!knownFolders_.contains(path)) {
            EntryFacts facts;
            const SftpOutcome looked = Look(path, facts);
            if (looked == SftpOutcome::Done && !facts.IsFolder()) {
                return WriteOutcome(WriteStatus::Refused,
                                    "a file or link is in the way at \"" + path + "\"");
            }
            if (looked == SftpOutcome::Cancelled) return WriteOutcome(WriteStatus::Cancelled);
            if (looked == SftpOutcome::Failed)
                return WriteOutcome(WriteStatus::Failed, session_->ErrorText());
            if (looked == SftpOutcome::Refused) {
                if (!create) {
                    return WriteOutcome(WriteStatus::Failed,
                                        "the folder \"" + path + "\" is not there");
                }
                int result = 0;
                {
                    const SftpSession::Call call(*session_);
                    result = sftp_mkdir(session_->Sftp(), path.c_str(), 0755);
                }
                if (result != 0) return WriteProblem("making the folder " + path);
                if (made != nullptr) *made = true;
            }
            knownFolders_.insert(path);
        }
        path.push_back('/');
    }
    return {};
}

WriteOutcome SftpFolderWriter::PutInPlace(const std::string& temporary,
                                          const std::string& destination, bool replacing,
                                          const CopyControl& control) {
    if (replacing && control.setAside) {
        WriteOutcome aside = control.setAside();
        if (aside.status != WriteStatus::Done) return aside;
    }
    int result = 0;
    {
        // libssh renames with the server's posix-rename extension where it
        // has one, which replaces the destination in one step.
        const SftpSession::Call call(*session_);
        result = sftp_rename(session_->Sftp(), temporary.c_str(), destination.c_str());
        if (result != 0 && replacing && !session_->Broken() &&
            sftp_unlink(session_->Sftp(), destination.c_str()) == 0) {
            // A server that renames only onto free names: the old file goes first.
            result = sftp_rename(session_->Sftp(), temporary.c_str(), destination.c_str());
        }
    }
    if (result != 0) return WriteProblem("renaming " + temporary + " to " + destination);
    return {};
}

WriteOutcome SftpFolderWriter::ReachBelow(const std::string& root, std::string_view relative,
                                          bool whole, bool create, std::string& path, bool* made) {
    std::vector<std::string_view> levels;
    if (!LevelsOf(relative, levels)) return BadPath();
    WriteOutcome reached =
        ReachFolder(root, levels, whole ? levels.size() : levels.size() - 1, create, made);
    if (reached.status == WriteStatus::Done) path = ServerPath(root) + std::string(relative);
    return reached;
}

WriteOutcome SftpFolderWriter::Upload(FileSystem& from, const std::string& fromPath,
                                      const EntryFacts& facts, const std::string& destination,
                                      bool replacing, const CopyControl& control) {
    const std::unique_ptr<FileReader> reader = from.OpenForReading(fromPath, 0);
    if (!reader) return WriteOutcome(WriteStatus::Failed, "the original can not be opened");
    const std::string folder = destination.substr(0, destination.rfind('/') + 1);
    std::string temporary;
    sftp_file file = nullptr;
    while (file == nullptr) {
        temporary = folder + TemporaryName();
        const SftpSession::Call call(*session_);
        file = sftp_open(session_->Sftp(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (file == nullptr && sftp_get_error(session_->Sftp()) != SSH_FX_FILE_ALREADY_EXISTS)
            break;
    }
    if (file == nullptr) return WriteProblem("making the file " + temporary);

    // Several writes in flight: a round trip per piece would bound an upload
    // to a piece per round trip.
    WriteOutcome outcome;
    std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(kUploadPiece);
    bool written = true;
    uint32_t sent = 0;  // the CRC-32 of the bytes sent
    {
        SftpWritePipe pipe(*session_, file, "writing the file " + temporary);
        for (;;) {
            if (control.Cancelled()) {
                outcome = WriteOutcome(WriteStatus::Cancelled);
                written = false;
                break;
            }
            const int64_t got = reader->Read(buffer.get(), kUploadPiece);
            if (got == 0) break;
            if (got < 0) {
                outcome = WriteOutcome(WriteStatus::Failed, "the original could not be read");
                written = false;
                break;
            }
            if (control.verify)
                sent = libdeflate_crc32(sent, buffer.get(), static_cast<size_t>(got));
            if (!pipe.Write(buffer.get(), static_cast<size_t>(got))) {
                written = false;
                break;
            }
            outcome.bytes += static_cast<uint64_t>(got);
            control.Moved(static_cast<uint64_t>(got));
        }
        // The original's mode and time go behind the data, in the same
        // round trip; a copy that does not go into place is dropped anyway.
        const sftp_attributes_struct attributes = AttributesFor(facts);
        if (written) pipe.SetFacts(attributes);
        // Every answer is taken before the channel serves another call.
        if (!pipe.Finish() && outcome.status == WriteStatus::Done) {
            written = false;
            if (session_->Broken()) Report();
            outcome = session_->Cancelled()
                          ? WriteOutcome(WriteStatus::Cancelled)
                          : WriteOutcome(WriteStatus::Failed, session_->ErrorText());
        }
    }
    int closed = 0;
    {
        const SftpSession::Call call(*session_);
        closed = sftp_close(file);
    }
    if (written && closed != 0) {
        outcome = WriteProblem("writing the file " + temporary);
        written = false;
    }
    if (written && (!StillAsItWas(from, fromPath, facts) || outcome.bytes != facts.size)) {
        outcome = WriteOutcome(WriteStatus::Failed, "it changed while it was copied");
        written = false;
    }
    if (written && control.verify) {
        if (WriteOutcome checked = CheckUpload(temporary, outcome.bytes, sent); !checked.Ok()) {
            outcome = std::move(checked);
            written = false;
        }
    }
    if (written) {
        const uint64_t bytes = outcome.bytes;
        outcome = PutInPlace(temporary, destination, replacing, control);
        if (outcome.status == WriteStatus::Done) {
            outcome.bytes = bytes;
            return outcome;
        }
    }
    DropTemporary(temporary);
    return outcome;
}

WriteOutcome SftpFolderWriter::CheckUpload(const std::string& temporary, uint64_t bytes,
                                           uint32_t sent) {
    EntryFacts kept;
    const SftpOutcome looked = Look(temporary, kept);
    if (looked == SftpOutcome::Cancelled) return WriteOutcome(WriteStatus::Cancelled);
    if (looked != SftpOutcome::Done) return WriteProblem("looking at the file " + temporary);
    if (kept.size != bytes) {
        return WriteOutcome(WriteStatus::Failed, "the server kept " + std::to_string(kept.size) +
                                                     " of the " + std::to_string(bytes) +
                                                     " bytes sent; it was not put in place");
    }
    // Where the listing agent runs, the server sums what it kept.
    FileEntry entry;
    entry.path = temporary;
    entry.size = bytes;
    if (bytes > 0 && SumInPlace(entry, {}, 0) == InPlaceSum::Summed && entry.checksum != sent) {
        return WriteOutcome(WriteStatus::Failed,
                            "what the server kept differs from what was sent; it was not put in "
                            "place");
    }
    return {};
}

WriteOutcome SftpFolderWriter::UploadLink(FileSystem& from, const std::string& fromPath,
                                          const EntryFacts& facts, const std::string& destination,
                                          bool replacing, const CopyControl& control) {
    std::string text;
    if (const std::unique_ptr<FileReader> reader =
            from.OpenForReading(fromPath, kSymlinkAttribute)) {
        char piece[4096];
        for (int64_t got = 0; (got = reader->Read(piece, sizeof piece)) != 0;) {
            if (got < 0 || text.size() > kMaxLinkText)
                return WriteOutcome(WriteStatus::Failed, "the link text could not be read");
            text.append(piece, static_cast<size_t>(got));
        }
    }
    if (text.empty() || text.find('\0') != std::string::npos) {
        return WriteOutcome(WriteStatus::Failed, "the link text could not be read");
    }
    const std::string temporary =
        destination.substr(0, destination.rfind('/') + 1) + TemporaryName();
    int made = 0;
    {
        // OpenSSH's server takes the two paths the other way round from the
        // protocol's text; libssh sends them in the order OpenSSH expects.
        const SftpSession::Call call(*session_);
        made = sftp_symlink(session_->Sftp(), text.c_str(), temporary.c_str());
    }
    if (made != 0) return WriteProblem("making the link " + temporary);
    // A link's own time cannot be set over SFTP: it keeps the time it was made.
    WriteOutcome outcome =
        StillAsItWas(from, fromPath, facts)
            ? PutInPlace(temporary, destination, replacing, control)
            : WriteOutcome(WriteStatus::Failed, "it changed while it was copied");
    if (outcome.status == WriteStatus::Done) {
        outcome.bytes = text.size();
        return outcome;
    }
    DropTemporary(temporary);
    return outcome;
}

WriteOutcome SftpFolderWriter::CopyIn(FileSystem& from, const std::string& fromPath,
                                      const std::string& root, std::string_view relative,
                                      const CopyControl& control) {
    EntryFacts facts;
    if (WriteOutcome gone = ReadOriginal(from, fromPath, facts); gone.status != WriteStatus::Done) {
        return gone;
    }
    std::string destination;
    WriteOutcome reached =
        ReachBelow(root, relative, /*whole=*/false, /*create=*/true, destination);
    if (reached.status != WriteStatus::Done) return reached;

    EntryFacts existing;
    const SftpOutcome looked = Look(destination, existing);
    if (looked == SftpOutcome::Cancelled) return WriteOutcome(WriteStatus::Cancelled);
    if (looked == SftpOutcome::Failed)
        return WriteOutcome(WriteStatus::Failed, session_->ErrorText());
    const bool exists = looked == SftpOutcome::Done;
    if (exists && existing.IsFolder()) {
        return WriteOutcome(WriteStatus::Failed, "a folder of that name is in the way");
    }
    if (exists && !control.replaceExisting) return WriteOutcome(WriteStatus::Exists);
    if (control.Cancelled()) return WriteOutcome(WriteStatus::Cancelled);
    if ((facts.attributes & kSymlinkAttribute) != 0) {
        return UploadLink(from, fromPath, facts, destination, exists, control);
    }
    return Upload(from, fromPath, facts, destination, exists, control);
}

WriteOutcome SftpFolderWriter::MakeFolder(const std::string& root, std::string_view relative) {
    std::string path;
    bool made = false;
    WriteOutcome outcome = ReachBelow(root, relative, /*whole=*/true, /*create=*/true, path, &made);
    if (outcome.status != WriteStatus::Done) return outcome;
    return WriteOutcome(made ? WriteStatus::Done : WriteStatus::Exists);
}

WriteOutcome SftpFolderWriter::SetFolderFacts(const std::string& root, std::string_view relative,
                                              const EntryFacts& facts) {
    std::string path;
    WriteOutcome reached = ReachBelow(root, relative, /*whole=*/true, /*create=*/false, path);
    if (reached.status != WriteStatus::Done) return reached;
    sftp_attributes_struct attributes = AttributesFor(facts);
    if (facts.mode == 0) attributes.flags &= ~static_cast<uint32_t>(SSH_FILEXFER_ATTR_PERMISSIONS);
    return SetFacts(path, attributes);
}

WriteOutcome SftpFolderWriter::SetFacts(const std::string& path,
                                        sftp_attributes_struct& attributes) {
    int set = 0;
    {
        const SftpSession::Call call(*session_);
        set = sftp_setstat(session_->Sftp(), path.c_str(), &attributes);
    }
    return set == 0 ? WriteOutcome() : WriteProblem("setting the time and mode of " + path);
}

void SftpFolderWriter::DropTemporary(const std::string& temporary) {
    if (session_->Broken()) return;
    const SftpSession::Call call(*session_);
    sftp_unlink(session_->Sftp(), temporary.c_str());
}

WriteOutcome SftpFolderWriter::RemoveFolderAt(const std::string& path) {
    int removed = 0;
    {
        const SftpSession::Call call(*session_);
        removed = sftp_rmdir(session_->Sftp(), path.c_str());
    }
    if (removed == 0) {
        knownFolders_.erase(path);
        const std::string below = path + "/";
        for (auto it = knownFolders_.lower_bound(below);
             it != knownFolders_.end() && it->starts_with(below);) {
            it = knownFolders_.erase(it);
        }
        return {};
    }
    WriteOutcome failure = WriteProblem("removing the folder " + path);
    if (failure.status != WriteStatus::Failed || session_->Broken()) return failure;
    // The server's refusal rarely says why: an entry inside is the usual reason.
    sftp_dir dir = nullptr;
    {
        const SftpSession::Call call(*session_);
        dir = sftp_opendir(session_->Sftp(), path.c_str());
    }
    if (dir == nullptr) return failure;
    bool holdsAnything = false;
    {
        const SftpSession::Call call(*session_);
        while (sftp_attributes_struct* entry = sftp_readdir(session_->Sftp(), dir)) {
            const std::string_view name = entry->name != nullptr ? entry->name : "";
            holdsAnything = holdsAnything || (name != "." && name != "..");
            sftp_attributes_free(entry);
        }
        sftp_closedir(dir);
    }
    return holdsAnything ? WriteOutcome(WriteStatus::NotEmpty) : failure;
}

WriteOutcome SftpFolderWriter::RemoveFolder(const std::string& root, std::string_view relative) {
    std::string path;
    WriteOutcome reached = ReachBelow(root, relative, /*whole=*/false, /*create=*/false, path);
    if (reached.status != WriteStatus::Done) return reached;
    EntryFacts facts;
    if (Look(path, facts) == SftpOutcome::Done && !facts.IsFolder()) {
        return WriteOutcome(WriteStatus::Failed, "it is not a folder");
    }
    return RemoveFolderAt(path);
}

WriteOutcome SftpFolderWriter::MoveToTrash(const std::string& /*root*/,
                                           std::string_view /*relative*/) {
    return WriteOutcome(WriteStatus::NoTrash, "an SFTP server has no trash");
}

WriteOutcome SftpFolderWriter::DeletePermanently(const std::string& root,
                                                 std::string_view relative) {
    std::string path;
    WriteOutcome reached = ReachBelow(root, relative, /*whole=*/false, /*create=*/false, path);
    if (reached.status != WriteStatus::Done) return reached;
    EntryFacts facts;
    const SftpOutcome looked = Look(path, facts);
    if (looked == SftpOutcome::Cancelled) return WriteOutcome(WriteStatus::Cancelled);
    if (looked != SftpOutcome::Done) {
        return WriteOutcome(WriteStatus::Failed, looked == SftpOutcome::Refused
                                                     ? std::string("it is no longer there")
                                                     : session_->ErrorText());
    }
    if (facts.IsFolder()) return RemoveFolderAt(path);
    int removed = 0;
    {
        const SftpSession::Call call(*session_);
        removed = sftp_unlink(session_->Sftp(), path.c_str());
    }
    return removed == 0 ? WriteOutcome() : WriteProblem("deleting " + path);
}

WriteOutcome SftpFolderWriter::Rename(const std::string& root, std::string_view relative,
                                      std::string_view newRelative) {
    std::string from;
    std::string to;
    WriteOutcome reached = ReachBelow(root, relative, /*whole=*/false, /*create=*/false, from);
    if (reached.status != WriteStatus::Done) return reached;
    reached = ReachBelow(root, newRelative, /*whole=*/false, /*create=*/true, to);
    if (reached.status != WriteStatus::Done) return reached;
    // libssh renames with posix-rename where the server has it, which would
    // replace what is there: the new place must be free first.
    EntryFacts there;
    const SftpOutcome looked = Look(to, there);
    if (looked == SftpOutcome::Cancelled) return WriteOutcome(WriteStatus::Cancelled);
    if (looked == SftpOutcome::Done) return WriteOutcome(WriteStatus::Exists, "something is there");
    if (looked != SftpOutcome::Refused) return WriteProblem("looking at " + to);
    int result = 0;
    {
        const SftpSession::Call call(*session_);
        result = sftp_rename(session_->Sftp(), from.c_str(), to.c_str());
    }
    return result == 0 ? WriteOutcome() : WriteProblem("renaming " + from + " to " + to);
}

}  // namespace ravelmoor
