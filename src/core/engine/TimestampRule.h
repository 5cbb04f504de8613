#pragma once

#include <cstdint>

#include "core/engine/FileEntry.h"

namespace ravelmoor {

// The size and timestamp rule: equal sizes, and times that differ by at most
// `tolerance` seconds once a difference of one hour or more has had one hour
// taken off (when `oneHour` is set, for daylight-saving shifts).
bool SizeAndTimestampEqual(const FileEntry& source, const FileEntry& target, int32_t tolerance,
                           bool oneHour);

}  // namespace ravelmoor
