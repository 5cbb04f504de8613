// Moving a local file or link to the freedesktop.org trash.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "core/engine/BelowRoot.h"
#include "core/engine/FreedesktopTrash.h"
#include "core/engine/LocalFileSystem.h"

namespace ravelmoor {

WriteOutcome LocalFileSystem::MoveToTrash(const std::string& root, std::string_view relative) {
    WriteOutcome outcome;
    FdGuard folder;
    std::string name;
    if (!OpenParentBelow(root, relative, /*create=*/false, folder, name, outcome)) return outcome;
    struct stat object {};
    if (::fstatat(folder.get(), name.c_str(), &object, AT_SYMLINK_NOFOLLOW) != 0) {
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
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
