#include "core/local/LocalStagedCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/local/BelowRoot.h"
#include "core/local/FreedesktopTrash.h"
#include "core/text/Translated.h"

namespace ravelmoor {

namespace {

// Whether `now` is still the object `then` was: the same file, size and
// modification time, and (`changeTime`) the same time of its last change of
// any kind. A rename sets that time, so it is compared before one only.
bool SameObject(const struct stat& now, const struct stat& then, bool changeTime) {
    return now.st_dev == then.st_dev && now.st_ino == then.st_ino && now.st_size == then.st_size &&
           now.st_mtim.tv_sec == then.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == then.st_mtim.tv_nsec &&
           (!changeTime || (now.st_ctim.tv_sec == then.st_ctim.tv_sec &&
                            now.st_ctim.tv_nsec == then.st_ctim.tv_nsec));
}

WriteOutcome ChangedMeanwhile(const WriteOutcome& trash) {
    return WriteOutcome(WriteStatus::Failed,
                        FillIn(QCoreApplication::translate(
                                   "LocalStagedCopy",
                                   "it changed while the copy was made, and no trash takes the "
                                   "changed version (%1); it is left as it is"),
                               {trash.reason}));
}

}  // namespace

bool LocalStagedCopy::RenameIntoPlace() {
    // The name was free when the copy began, or its object was set aside;
    // something that came since is not overwritten.
    bool moved = ::renameat2(folder_.get(), temporary_.c_str(), folder_.get(), name_.c_str(),
                             RENAME_NOREPLACE) == 0;
    if (!moved && (errno == EINVAL || errno == ENOSYS)) {
        moved = ::renameat(folder_.get(), temporary_.c_str(), folder_.get(), name_.c_str()) == 0;
    }
    if (moved) temporary_.clear();
    return moved;
}

WriteOutcome LocalStagedCopy::ReplaceUnlessChanged(const std::atomic<int32_t>* cancel) {
    const int folder = folder_.get();
    struct stat before {};
    if (::fstatat(folder, name_.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0) {
        // Gone meanwhile: nothing is replaced.
        if (errno == ENOENT && RenameIntoPlace()) return {};
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    const bool unchanged = SameObject(before, replaced_, true);
    if (::renameat2(folder, temporary_.c_str(), folder, name_.c_str(), RENAME_EXCHANGE) == 0) {
        // The copy is in place; what left it is under the temporary name,
        // and must be the object just found unchanged.
        struct stat left {};
        if (unchanged && ::fstatat(folder, temporary_.c_str(), &left, AT_SYMLINK_NOFOLLOW) == 0 &&
            SameObject(left, before, false)) {
            ::unlinkat(folder, temporary_.c_str(), 0);
            temporary_.clear();
            return {};
        }
        WriteOutcome kept = MoveToFreedesktopTrashAs(folder, temporary_, name_, cancel);
        if (kept.status == WriteStatus::Done) {
            temporary_.clear();
            return kept;
        }
        // Swapped back: the changed version stays, the copy is dropped.
        ::renameat2(folder, temporary_.c_str(), folder, name_.c_str(), RENAME_EXCHANGE);
        return ChangedMeanwhile(kept);
    }
    if (errno != EINVAL && errno != ENOSYS)
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    // No swap on this file system: looked at just before the rename.
    WriteOutcome kept;
    if (!unchanged) {
        kept = MoveToFreedesktopTrash(folder, name_, cancel);
        if (kept.status != WriteStatus::Done) return ChangedMeanwhile(kept);
    }
    const bool moved = kept.trashedTo.empty()
                           ? ::renameat(folder, temporary_.c_str(), folder, name_.c_str()) == 0
                           : RenameIntoPlace();
    if (!moved) return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    temporary_.clear();
    return kept;
}

void LocalStagedCopy::Discard() {
    out_.reset();
    if (!temporary_.empty()) ::unlinkat(folder_.get(), temporary_.c_str(), 0);
    temporary_.clear();
}

}  // namespace ravelmoor
