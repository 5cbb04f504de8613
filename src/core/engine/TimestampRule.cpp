#include "core/engine/TimestampRule.h"

namespace ravelmoor {
namespace {

// The gap between the intervals of two times: negative when `a` ends before
// `b` begins, positive when it begins after `b` ends, 0 when they meet.
// Times are well inside +-2^62, so nothing here can overflow.
int64_t Gap(int64_t a, uint32_t aAttributes, int64_t b, uint32_t bAttributes) {
    const int64_t aLast = a + TimeSpan(aAttributes);
    const int64_t bLast = b + TimeSpan(bAttributes);
    if (aLast < b) return aLast - b;
    if (a > bLast) return a - bLast;
    return 0;
}

}  // namespace

bool SizeAndTimestampEqual(const FileEntry& source, const FileEntry& target, int32_t tolerance,
                           bool oneHour) {
    if (source.size != target.size) return false;
    int64_t d = Gap(source.lastWrite, source.attributes, target.lastWrite, target.attributes);
    if (d == 0) return true;
    if (tolerance == 0 && !oneHour) return false;
    if (oneHour) {
        if (d >= 3600) {
            d -= 3600;
        } else if (d <= -3600) {
            d += 3600;
        }
    }
    return -int64_t{tolerance} <= d && d <= int64_t{tolerance};
}

bool TimesMayBeEqual(int64_t a, uint32_t aAttributes, int64_t b, uint32_t bAttributes) {
    return Gap(a, aAttributes, b, bAttributes) == 0;
}

bool EqualOnlyByCoarseTime(const FileEntry& source, const FileEntry& target, int32_t tolerance,
                           bool oneHour) {
    if (((source.attributes | target.attributes) & kTimeSpanAttributes) == 0) return false;
    return SizeAndTimestampEqual(source, target, tolerance, oneHour);
}

}  // namespace ravelmoor
