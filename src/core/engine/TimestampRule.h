#pragma once

#include <cstdint>

#include "core/engine/FileEntry.h"

namespace ravelmoor {

// The size and timestamp rule: equal sizes, and times that differ by at most
// `tolerance` seconds once a difference of one hour or more has had one hour
// taken off (when `oneHour` is set, for daylight-saving shifts). A time known
// only to the minute or the day (TimeSpan) is the interval it stands for: the
// difference is the gap between the two intervals, 0 where they meet.
bool SizeAndTimestampEqual(const FileEntry& source, const FileEntry& target, int32_t tolerance,
                           bool oneHour);

// Whether two times, each with the attributes that say how exactly it is
// known, may be the same time: their intervals meet.
bool TimesMayBeEqual(int64_t a, uint32_t aAttributes, int64_t b, uint32_t bAttributes);

// Whether a pair that the rule calls equal is equal only because a time is
// coarser than a second: equal sizes, and a time known to the minute or the
// day. Asking the side for the exact time settles it.
bool EqualOnlyByCoarseTime(const FileEntry& source, const FileEntry& target, int32_t tolerance,
                           bool oneHour);

}  // namespace ravelmoor
