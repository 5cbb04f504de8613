#include "core/sync/SideFacts.h"

namespace ravelmoor {

bool SideFacts::SameAs(const SideFacts& other, int32_t toleranceSeconds, bool ignoreOneHour) const {
    if (kind != other.kind) return false;
    if (!Present()) return true;
    if (kind == Folder) return inode == 0 || other.inode == 0 || inode == other.inode;
    const int64_t apart =
        lastWrite > other.lastWrite ? lastWrite - other.lastWrite : other.lastWrite - lastWrite;
    constexpr int64_t kHour = 3600;
    const bool sameTime =
        apart <= toleranceSeconds ||
        (ignoreOneHour && apart >= kHour - toleranceSeconds && apart <= kHour + toleranceSeconds);
    return size == other.size && sameTime &&
           (inode == 0 || other.inode == 0 || inode == other.inode);
}

bool SideFacts::SameIdentity(const SideFacts& other) const {
    if (kind != other.kind || inode == 0 || inode != other.inode) return false;
    if (birth != 0 && other.birth != 0) return birth == other.birth;
    return kind == Folder || (size == other.size && lastWrite == other.lastWrite);
}

}  // namespace ravelmoor
