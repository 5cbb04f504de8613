#pragma once

#include <cstdint>
#include <string>

namespace ravelmoor {

// A count or a byte size as a whole number with the user's digit grouping
// (1,000,000 under an English locale).
std::string FormatSize(uint64_t size);

// A last-write time in the user's short date and time format, local time, with
// the seconds.
std::string FormatTimestamp(int64_t time);

}  // namespace ravelmoor
