#pragma once

#include <cstdint>
#include <string>

namespace ravelmoor {

// A count or a byte size as a whole number with the user's digit grouping
// (1,000,000 under an English locale).
std::string FormatSize(uint64_t size);

// An amount of bytes in the largest decimal unit that keeps it at 1 or more:
// "512 B", "1.5 kB", "85.3 MB" (one decimal above bytes). The decimal point is
// the C locale's, or the user's with `inUserLocale`.
std::string FormatBytes(double bytes, bool inUserLocale = false);

// A span of time in whole seconds as "0:06", "12:34" or, from an hour on,
// "1:02:03".
std::string FormatDuration(double seconds);

// A last-write time in the user's short date and time format, local time, with
// the seconds.
std::string FormatTimestamp(int64_t time);

}  // namespace ravelmoor
