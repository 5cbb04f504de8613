#include "core/local/LocalFolderWriter.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "core/engine/FileEntry.h"
#include "core/local/BelowRoot.h"
#include "core/local/LocalStagedCopy.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// Large enough to keep the kernel busy, small enough to notice a cancel soon.
constexpr size_t kCopyPiece = size_t{8} << 20;
constexpr size_t kBufferSize = size_t{1} << 20;
// A checked copy goes in pieces small enough that the piece read from the
// original, the pages it is written to and the piece read back all stay in
// the processor's own cache: read back from there, the check costs little
// beside the copy (with pieces of 1 MiB it cost as much as the copy).
constexpr size_t kCheckedPiece = size_t{128} << 10;
// A large copy hands its data to the disk every so many bytes, so that the
// disk writes while the copy (and its check) goes on, and the flush before
// the rename finds little left to wait for.
constexpr uint64_t kWritebackStep = uint64_t{8} << 20;
// A link text longer than this is not a link text.
constexpr size_t kMaxLinkText = 65536;

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Starts the disk on what was written since `started` once that is a step's
// worth. A failure here is not the copy's: the flush before the rename
// reports what the disk could not take.
void StartWriteback(int fd, uint64_t written, uint64_t& started) {
    if (written - started < kWritebackStep) return;
    ::sync_file_range(fd, static_cast<off_t>(started), static_cast<off_t>(written - started),
                      SYNC_FILE_RANGE_WRITE);
    started = written;
}

// Reads `size` bytes of `fd` from `at` on, as the kernel returns them now
// (into a buffer of its own), and tells whether they are `expected`; false
// when they can not all be read.
bool ReadBackEquals(int fd, uint64_t at, const char* expected, size_t size, bool& equal) {
    thread_local std::unique_ptr<char[]> back;
    if (!back) back = std::make_unique_for_overwrite<char[]>(kCheckedPiece);
    equal = true;
    while (size > 0) {
        const ssize_t got =
            ::pread(fd, back.get(), std::min(size, kCheckedPiece), static_cast<off_t>(at));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        const auto n = static_cast<size_t>(got);
        if (std::memcmp(back.get(), expected, n) != 0) {
            equal = false;
            return true;
        }
        expected += n;
        at += n;
        size -= n;
    }
    return true;
}

WriteOutcome ReadBackDiffers() {
    return WriteOutcome(WriteStatus::Failed,
                        FillIn(QCoreApplication::translate(
                            "LocalFolderWriter",
                            "the copy read back differs from the original; it was not put "
                            "in place")));
}

// Moves the data from `reader` to `out`: in the kernel when the reader is a
// local file, otherwise (or where the kernel cannot) through a buffer. A
// checked copy always goes through the buffer, and each piece is read back
// from `out` as soon as it is written and compared byte for byte with what
// was read from the original: a byte changed on its way (a bad cable, driver
// or disk) ends the copy.
bool CopyData(FileReader& reader, int out, const CopyControl& control, WriteOutcome& outcome,
              bool check) {
    const int in = reader.NativeHandle();
    uint64_t writebackStarted = 0;
    bool inKernel = in >= 0 && !check;
    while (inKernel) {
        if (control.Cancelled()) {
            outcome = WriteOutcome(WriteStatus::Cancelled);
            return false;
        }
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kCopyPiece, 0);
        if (n > 0) {
            outcome.bytes += static_cast<uint64_t>(n);
            control.Moved(static_cast<uint64_t>(n));
            StartWriteback(out, outcome.bytes, writebackStarted);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n == 0 || errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                   errno == EOPNOTSUPP || errno == EBADF || errno == EPERM) {
            // The end, a file system that says 0 too early, or one the kernel
            // cannot copy on: the buffer goes on from where the last piece
            // ended (and finds the end at once when it was the end).
            inKernel = false;
        } else {
            outcome = WriteOutcome(WriteStatus::Failed, ErrorText(errno));
            return false;
        }
    }
    thread_local std::unique_ptr<char[]> buffer;
    if (!buffer) buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    const size_t piece = check ? kCheckedPiece : kBufferSize;
    for (;;) {
        if (control.Cancelled()) {
            outcome = WriteOutcome(WriteStatus::Cancelled);
            return false;
        }
        const int64_t got = reader.Read(buffer.get(), piece);
        if (got == 0) return true;
        if (got < 0) {
            outcome = WriteOutcome(WriteStatus::Failed,
                                   FillIn(QCoreApplication::translate(
                                       "LocalFolderWriter", "the original could not be read")));
            return false;
        }
        const auto size = static_cast<size_t>(got);
        if (!WriteAll(out, buffer.get(), size)) {
            outcome = WriteOutcome(WriteStatus::Failed, ErrorText(errno));
            return false;
        }
        if (check) {
            bool equal = true;
            if (!ReadBackEquals(out, outcome.bytes, buffer.get(), size, equal)) {
                outcome = WriteOutcome(WriteStatus::Failed, ErrorText(errno != 0 ? errno : EIO));
                return false;
            }
            if (!equal) {
                outcome = ReadBackDiffers();
                return false;
            }
        }
        outcome.bytes += static_cast<uint64_t>(got);
        control.Moved(static_cast<uint64_t>(got));
        StartWriteback(out, outcome.bytes, writebackStarted);
    }
}

bool ReadLinkText(FileSystem& from, const std::string& fromPath, std::string& text) {
    auto reader = from.OpenForReading(fromPath, kSymlinkAttribute);
    if (!reader) return false;
    char piece[4096];
    for (;;) {
        const int64_t got = reader->Read(piece, sizeof piece);
        if (got < 0) return false;
        if (got == 0) break;
        text.append(piece, static_cast<size_t>(got));
        if (text.size() > kMaxLinkText) return false;
    }
    return !text.empty() && text.find('\0') == std::string::npos;
}

timespec ModificationTime(const EntryFacts& facts) {
    timespec time{};
    time.tv_sec = facts.lastWrite;
    time.tv_nsec = facts.lastWriteNanoseconds < 1000000000 ? facts.lastWriteNanoseconds : 0;
    return time;
}

// The temporary object beside the destination; removed unless it was renamed.
class TemporaryEntry {
  public:
    explicit TemporaryEntry(int folder) : folder_(folder) {}
    TemporaryEntry(const TemporaryEntry&) = delete;
    TemporaryEntry& operator=(const TemporaryEntry&) = delete;
    ~TemporaryEntry() {
        if (!name_.empty()) ::unlinkat(folder_, name_.c_str(), 0);
    }
    void Name(std::string name) { name_ = std::move(name); }
    const std::string& Name() const { return name_; }
    // Renames it over `destination`; afterwards there is nothing to remove.
    bool RenameTo(const std::string& destination) {
        if (::renameat(folder_, name_.c_str(), folder_, destination.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

  private:
    int folder_;
    std::string name_;
};

// Hands an existing destination to `control.setAside` before it is replaced.
bool SetAside(bool replacing, const CopyControl& control, WriteOutcome& outcome) {
    if (!replacing || !control.setAside) return true;
    outcome = control.setAside();
    return outcome.status == WriteStatus::Done;
}

// Whether the original still has the size and time it had when the copy began.
bool Unchanged(FileSystem& from, const std::string& fromPath, const EntryFacts& before) {
    EntryFacts after;
    return from.ReadFacts(fromPath, after) && after.attributes == before.attributes &&
           after.size == before.size && after.lastWrite == before.lastWrite &&
           after.lastWriteNanoseconds == before.lastWriteNanoseconds;
}

// Opens the folder of `relative` below `root` and reads the status of the
// object there (a link's own); false, with `outcome` saying why, when either
// cannot be done.
bool ReachObject(const std::string& root, std::string_view relative, FdGuard& folder,
                 std::string& name, struct stat& st, WriteOutcome& outcome) {
    if (!OpenParentBelow(root, relative, /*create=*/false, folder, name, outcome)) return false;
    if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return true;
    outcome = WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    return false;
}

std::string NotAFolder() {
    return FillIn(QCoreApplication::translate("FileSystem", "it is not a folder"));
}

WriteOutcome ChangedWhileCopied() {
    return WriteOutcome(
        WriteStatus::Failed,
        FillIn(QCoreApplication::translate("LocalFolderWriter", "it changed while it was copied")));
}

WriteOutcome CopyLink(FileSystem& from, const std::string& fromPath, const EntryFacts& facts,
                      int folder, const std::string& name, bool replacing,
                      const CopyControl& control) {
    std::string text;
    if (!ReadLinkText(from, fromPath, text)) {
        return WriteOutcome(WriteStatus::Failed,
                            FillIn(QCoreApplication::translate("LocalFolderWriter",
                                                               "the link text could not be read")));
    }
    TemporaryEntry temporary(folder);
    for (;;) {
        std::string candidate = TemporaryName();
        if (::symlinkat(text.c_str(), folder, candidate.c_str()) == 0) {
            temporary.Name(std::move(candidate));
            break;
        }
        if (errno != EEXIST) return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    const timespec times[2] = {{0, UTIME_OMIT}, ModificationTime(facts)};
    if (::utimensat(folder, temporary.Name().c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    if (!Unchanged(from, fromPath, facts)) return ChangedWhileCopied();
    WriteOutcome outcome;
    if (!SetAside(replacing, control, outcome)) return outcome;
    if (!temporary.RenameTo(name)) return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    outcome.bytes = text.size();
    return outcome;
}

// Writes the file to a temporary name beside the destination, checks it and
// starts its writeback; the rename waits for the group's flush.
WriteOutcome StageFile(FileSystem& from, const std::string& fromPath, const EntryFacts& facts,
                       LocalStagedCopy& staged) {
    auto reader = from.OpenForReading(fromPath, 0);
    if (!reader) {
        return WriteOutcome(
            WriteStatus::Failed,
            FillIn(QCoreApplication::translate("FileSystem", "the original can not be opened")));
    }
    // The file opened must be the one just looked at (to the nanosecond),
    // not one put in its place meanwhile.
    struct stat opened {};
    if (reader->NativeHandle() >= 0 &&
        (::fstat(reader->NativeHandle(), &opened) != 0 ||
         static_cast<uint64_t>(opened.st_size) != facts.size ||
         opened.st_mtim.tv_sec != facts.lastWrite ||
         static_cast<uint32_t>(opened.st_mtim.tv_nsec) != facts.lastWriteNanoseconds)) {
        return ChangedWhileCopied();
    }

    for (;;) {
        std::string candidate = TemporaryName();
        FdGuard out(::openat(staged.Folder(), candidate.c_str(),
                             O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (out.get() >= 0) {
            staged.SetTemporary(std::move(candidate), std::move(out));
            break;
        }
        if (errno != EEXIST) return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    const int out = staged.Out().get();

    WriteOutcome outcome;
    if (!CopyData(*reader, out, staged.Control(), outcome, staged.Control().verify)) {
        return outcome;
    }
    // A short read, a file that grew or one rewritten meanwhile would leave a
    // copy that is neither the old nor the new content.
    reader.reset();
    if (!Unchanged(from, fromPath, facts)) return ChangedWhileCopied();
    if (outcome.bytes != facts.size) {
        // A transfer cut short behind a normal end (an FTP server that
        // stopped sending and still said the transfer was complete).
        return WriteOutcome(
            WriteStatus::Failed,
            FillIn(QCoreApplication::translate("LocalFolderWriter",
                                               "%1 of %2 bytes arrived; the copy is incomplete"),
                   {std::to_string(outcome.bytes), std::to_string(facts.size)}));
    }
    const mode_t mode = facts.mode != 0 ? static_cast<mode_t>(facts.mode & 07777) : 0644;
    const timespec times[2] = {{0, UTIME_OMIT}, ModificationTime(facts)};
    struct stat written {};
    if (::fchmod(out, mode) != 0 || ::futimens(out, times) != 0 || ::fstat(out, &written) != 0) {
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    // The disk starts on the data now, so that the group's flush mostly
    // waits for writes already under way.
    if (::sync_file_range(out, 0, 0, SYNC_FILE_RANGE_WRITE) != 0 && errno != ESPIPE &&
        errno != EINVAL && errno != ENOSYS) {
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    staged.SetDevice(written.st_dev);
    staged.SetBytes(outcome.bytes);
    return outcome;
}

constexpr long kFuseMagic = 0x65735546;
constexpr long kCifsMagic = static_cast<long>(0xFF534D42);
constexpr long kSmb2Magic = static_cast<long>(0xFE534D42);
constexpr long kCephMagic = 0x00C36400;
constexpr long kNinePMagic = 0x01021997;

// Whether one syncfs stands for the files' own flushes: on a FUSE or network
// file system it may flush nothing at the server, or every client's data.
bool SyncfsMeaningful(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0) return false;
    const auto type = static_cast<long>(info.f_type);
    return type != kFuseMagic && type != NFS_SUPER_MAGIC && type != SMB_SUPER_MAGIC &&
           type != kCifsMagic && type != kSmb2Magic && type != kCephMagic && type != kNinePMagic &&
           type != AFS_SUPER_MAGIC && type != CODA_SUPER_MAGIC;
}

}  // namespace

WriteOutcome LocalFolderWriter::CopyIn(FileSystem& from, const std::string& fromPath,
                                       const std::string& root, std::string_view relative,
                                       const CopyControl& control) {
    std::unique_ptr<StagedCopy> staged;
    WriteOutcome outcome = StageCopy(from, fromPath, root, relative, control, staged);
    if (outcome.status != WriteStatus::Done || !staged) return outcome;
    std::vector<std::unique_ptr<StagedCopy>> group;
    group.push_back(std::move(staged));
    std::vector<WriteOutcome> outcomes;
    CommitCopies(group, outcomes);
    return outcomes.front();
}

WriteOutcome LocalFolderWriter::StageCopy(FileSystem& from, const std::string& fromPath,
                                          const std::string& root, std::string_view relative,
                                          const CopyControl& control,
                                          std::unique_ptr<StagedCopy>& staged) {
    staged.reset();
    EntryFacts facts;
    if (WriteOutcome gone = ReadOriginal(from, fromPath, facts); gone.status != WriteStatus::Done) {
        return gone;
    }
    WriteOutcome outcome;
    FdGuard folder;
    std::string name;
    if (!OpenParentBelow(root, relative, /*create=*/true, folder, name, outcome)) return outcome;

    struct stat existing {};
    bool replacing = false;
    if (::fstatat(folder.get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            return WriteOutcome(WriteStatus::Failed,
                                FillIn(QCoreApplication::translate(
                                    "FileSystem", "a folder of that name is in the way")));
        }
        if (!control.replaceExisting) return WriteOutcome(WriteStatus::Exists);
        replacing = true;
    } else if (errno != ENOENT) {
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    if (control.Cancelled()) return WriteOutcome(WriteStatus::Cancelled);

    if ((facts.attributes & kSymlinkAttribute) != 0) {
        // A link is all metadata: it is in place at once.
        return CopyLink(from, fromPath, facts, folder.get(), name, replacing, control);
    }
    auto copy =
        std::make_unique<LocalStagedCopy>(std::move(folder), std::move(name), replacing, control);
    if (replacing) copy->SetReplaced(existing);
    outcome = StageFile(from, fromPath, facts, *copy);
    if (outcome.status == WriteStatus::Done) staged = std::move(copy);
    return outcome;
}

WriteOutcome LocalFolderWriter::MakeFolder(const std::string& root, std::string_view relative) {
    WriteOutcome outcome;
    bool made = false;
    const FdGuard folder = OpenFolderBelow(root, relative, /*create=*/true, outcome, &made);
    if (folder.get() < 0) return outcome;
    return WriteOutcome(made ? WriteStatus::Done : WriteStatus::Exists);
}

WriteOutcome LocalFolderWriter::SetFolderFacts(const std::string& root, std::string_view relative,
                                               const EntryFacts& facts) {
    WriteOutcome outcome;
    FdGuard folder;
    std::string name;
    struct stat st {};
    if (!ReachObject(root, relative, folder, name, st, outcome)) return outcome;
    if (!S_ISDIR(st.st_mode)) return WriteOutcome(WriteStatus::Refused, NotAFolder());
    const timespec times[2] = {{0, UTIME_OMIT}, ModificationTime(facts)};
    if ((facts.mode != 0 && ::fchmodat(folder.get(), name.c_str(), facts.mode & 07777, 0) != 0) ||
        ::utimensat(folder.get(), name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    return outcome;
}

WriteOutcome LocalFolderWriter::RemoveFolder(const std::string& root, std::string_view relative) {
    WriteOutcome outcome;
    FdGuard folder;
    std::string name;
    if (!OpenParentBelow(root, relative, /*create=*/false, folder, name, outcome)) return outcome;
    if (::unlinkat(folder.get(), name.c_str(), AT_REMOVEDIR) == 0) return outcome;
    if (errno == ENOTEMPTY || errno == EEXIST) return WriteOutcome(WriteStatus::NotEmpty);
    if (errno == ENOTDIR) return WriteOutcome(WriteStatus::Failed, NotAFolder());
    return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
}

WriteOutcome LocalFolderWriter::Rename(const std::string& root, std::string_view from,
                                       std::string_view to) {
    WriteOutcome outcome;
    FdGuard fromFolder;
    std::string fromName;
    struct stat st {};
    if (!ReachObject(root, from, fromFolder, fromName, st, outcome)) return outcome;
    FdGuard toFolder;
    std::string toName;
    if (!OpenParentBelow(root, to, /*create=*/true, toFolder, toName, outcome)) return outcome;
    if (::renameat2(fromFolder.get(), fromName.c_str(), toFolder.get(), toName.c_str(),
                    RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) return WriteOutcome(WriteStatus::Exists);
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    return outcome;
}

WriteOutcome LocalFolderWriter::DeletePermanently(const std::string& root,
                                                  std::string_view relative) {
    WriteOutcome outcome;
    FdGuard folder;
    std::string name;
    struct stat st {};
    if (!ReachObject(root, relative, folder, name, st, outcome)) return outcome;
    const int flags = S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0;
    if (::unlinkat(folder.get(), name.c_str(), flags) != 0) {
        if (errno == ENOTEMPTY || errno == EEXIST) return WriteOutcome(WriteStatus::NotEmpty);
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    return outcome;
}

// A group of staged copies: one flush, then the renames into place.
void LocalFolderWriter::CommitCopies(std::vector<std::unique_ptr<StagedCopy>>& copies,
                                     std::vector<WriteOutcome>& outcomes) {
    outcomes.assign(copies.size(), WriteOutcome());
    std::vector<LocalStagedCopy*> group;
    group.reserve(copies.size());
    for (auto& copy : copies)
        group.push_back(static_cast<LocalStagedCopy*>(copy.get()));

    // The old versions that will go to the trash get their info files now,
    // unflushed: the flush below takes them to the disk together with the
    // new data, before any old version moves into files/. A crash therefore
    // never leaves a trashed file without its info; at worst an info file
    // whose file never moved, which a trash ignores.
    for (LocalStagedCopy* copy : group) {
        if (!copy->Replacing() || !copy->Control().setAside) continue;
        TrashReservation reservation;
        if (ReserveTrashName(copy->Folder(), copy->Name(), trashCancel_, reservation).status ==
            WriteStatus::Done) {
            reserved_.push_back(std::move(reservation));
        }
    }

    // One flush per file system for the group; a file on its own, or on a
    // file system where syncfs means nothing, flushes its own data.
    std::unordered_map<dev_t, int> flushed;  // device -> error (0 when flushed)
    for (size_t i = 0; i < group.size(); ++i) {
        LocalStagedCopy& copy = *group[i];
        const int out = copy.Out().get();
        const auto done = flushed.find(copy.Device());
        int error = 0;
        if (done != flushed.end()) {
            error = done->second;
        } else if (group.size() > 1 && SyncfsMeaningful(out)) {
            error = ::syncfs(out) == 0 ? 0 : errno;
            flushed.emplace(copy.Device(), error);
        } else if (::fdatasync(out) != 0) {
            error = errno;
        }
        // A late write error (a full disk on a network file system) shows at close.
        if (error == 0 && !copy.Close()) error = errno;
        if (error != 0) outcomes[i] = WriteOutcome(WriteStatus::Failed, ErrorText(error));
    }
    for (TrashReservation& reservation : reserved_) {
        // Info files on a file system the group did not flush as a whole.
        struct stat info {};
        if (::fstat(reservation.infoFile.get(), &info) == 0) {
            const auto done = flushed.find(info.st_dev);
            if (done != flushed.end() && done->second == 0) continue;
        }
        if (::fsync(reservation.infoFile.get()) != 0) DropTrashReservation(reservation);
    }

    for (size_t i = 0; i < group.size(); ++i) {
        LocalStagedCopy& copy = *group[i];
        if (outcomes[i].status != WriteStatus::Done) continue;
        if (copy.Replacing() && copy.Control().setAside) {
            outcomes[i] = copy.Control().setAside();
            if (outcomes[i].status != WriteStatus::Done) continue;
            outcomes[i] = WriteOutcome();  // where the old one went was told already
        }
        struct stat there {};
        if (copy.Replacing() &&
            ::fstatat(copy.Folder(), copy.Name().c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0) {
            // Not set aside (not kept, or no trash): replaced, unless it
            // changed since the copy began.
            outcomes[i] = copy.ReplaceUnlessChanged(trashCancel_);
            if (outcomes[i].status == WriteStatus::Done) outcomes[i].bytes = copy.Bytes();
            continue;
        }
        if (!copy.RenameIntoPlace()) {
            outcomes[i] = WriteOutcome(
                WriteStatus::Failed,
                errno == EEXIST ? FillIn(QCoreApplication::translate(
                                      "LocalFolderWriter",
                                      "an object of that name appeared while it was copied"))
                                : ErrorText(errno));
            continue;
        }
        outcomes[i].bytes = copy.Bytes();
    }
    for (TrashReservation& reservation : reserved_)
        DropTrashReservation(reservation);
    reserved_.clear();
    copies.clear();
}

// Moving a local file or link to the freedesktop.org trash.
WriteOutcome LocalFolderWriter::MoveToTrash(const std::string& root, std::string_view relative) {
    WriteOutcome outcome;
    FdGuard folder;
    std::string name;
    struct stat object {};
    if (!ReachObject(root, relative, folder, name, object, outcome)) return outcome;
    for (auto& reservation : reserved_) {
        // A group being committed took this object's name in the trash already.
        if (reservation.infoFile.get() >= 0 && reservation.device == object.st_dev &&
            reservation.inode == object.st_ino) {
            return CompleteTrashMove(folder.get(), name, reservation, trashCancel_);
        }
    }
    // The object is moved from the folder that was reached safely, by its
    // handle; no path text is followed again.
    return MoveToFreedesktopTrash(folder.get(), name, trashCancel_);
}

}  // namespace ravelmoor
