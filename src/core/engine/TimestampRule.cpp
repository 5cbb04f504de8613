#include "core/engine/TimestampRule.h"

namespace ravelmoor {

bool SizeAndTimestampEqual(const FileEntry& source, const FileEntry& target, int32_t tolerance,
                           bool oneHour) {
    if (source.size != target.size) return false;
    if (source.lastWrite == target.lastWrite) return true;
    if (tolerance == 0 && !oneHour) return false;
    // Both times are well inside +-2^62, so the difference cannot overflow.
    int64_t d = source.lastWrite - target.lastWrite;
    if (oneHour) {
        if (d >= 3600) {
            d -= 3600;
        } else if (d <= -3600) {
            d += 3600;
        }
    }
    return -int64_t{tolerance} <= d && d <= int64_t{tolerance};
}

}  // namespace ravelmoor
