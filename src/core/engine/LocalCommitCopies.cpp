// A group of staged local copies: one flush, then the renames into place.
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <unordered_map>

#include "core/engine/BelowRoot.h"
#include "core/engine/FreedesktopTrash.h"
#include "core/engine/LocalFileSystem.h"
#include "core/engine/LocalStagedCopy.h"

namespace ravelmoor {
namespace {

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

void LocalFileSystem::CommitCopies(std::vector<std::unique_ptr<StagedCopy>>& copies,
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
        }
        if (!copy.RenameIntoPlace()) {
            outcomes[i] =
                WriteOutcome(WriteStatus::Failed,
                             errno == EEXIST ? "an object of that name appeared while it was copied"
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

}  // namespace ravelmoor
