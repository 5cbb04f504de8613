#include "core/journal/TrashRestore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "core/engine/BelowRoot.h"

namespace ravelmoor {

WriteOutcome RestoreFromTrash(const std::string& trashItem, const std::string& root,
                              std::string_view relative) {
    WriteOutcome outcome;
    FdGuard folder;
    std::string name;
    if (!OpenParentBelow(root, relative, /*create=*/true, folder, name, outcome)) return outcome;
    if (::renameat2(AT_FDCWD, trashItem.c_str(), folder.get(), name.c_str(), RENAME_NOREPLACE) !=
        0) {
        if (errno == EEXIST) return WriteOutcome(WriteStatus::Exists, "something is there");
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    // files/NAME has its info in info/NAME.trashinfo beside files/.
    const size_t slash = trashItem.rfind('/');
    const size_t filesSlash = slash == std::string::npos ? slash : trashItem.rfind('/', slash - 1);
    if (filesSlash != std::string::npos &&
        trashItem.compare(filesSlash, slash - filesSlash, "/files") == 0) {
        const std::string info =
            trashItem.substr(0, filesSlash) + "/info/" + trashItem.substr(slash + 1) + ".trashinfo";
        ::unlink(info.c_str());
    }
    return outcome;
}

}  // namespace ravelmoor
