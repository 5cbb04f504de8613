#include "core/engine/LocalStagedCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace ravelmoor {

bool LocalStagedCopy::RenameIntoPlace() {
    bool moved = false;
    if (replacing_) {
        moved = ::renameat(folder_.get(), temporary_.c_str(), folder_.get(), name_.c_str()) == 0;
    } else {
        // The name was free when the copy began; something that came since
        // is not overwritten.
        moved = ::renameat2(folder_.get(), temporary_.c_str(), folder_.get(), name_.c_str(),
                            RENAME_NOREPLACE) == 0;
        if (!moved && (errno == EINVAL || errno == ENOSYS)) {
            moved =
                ::renameat(folder_.get(), temporary_.c_str(), folder_.get(), name_.c_str()) == 0;
        }
    }
    if (moved) temporary_.clear();
    return moved;
}

void LocalStagedCopy::Discard() {
    out_.reset();
    if (!temporary_.empty()) ::unlinkat(folder_.get(), temporary_.c_str(), 0);
    temporary_.clear();
}

}  // namespace ravelmoor
