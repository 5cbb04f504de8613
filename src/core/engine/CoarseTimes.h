#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "core/engine/ComparisonRules.h"

namespace ravelmoor {

class FileList;

// Settles the pairs that the size and timestamp rule calls equal only
// because a time is known to the minute or the day (an FTP LIST line): the
// side that gave the coarse time is asked for the exact times of those
// files only (FileSystem::AskExactTimes), and each pair is judged again. A
// pair whose exact time does not come back stays as the listing's interval
// judged it: nothing is copied on a guess. In Both, a pair whose exact times
// now differ is newer or older whatever its checksums said. Returns how many
// times were asked.
size_t SettleCoarseTimes(FileList& sourceResults, FileList& targetResults,
                         const ComparisonRules& rules, const PairData& data);

}  // namespace ravelmoor
