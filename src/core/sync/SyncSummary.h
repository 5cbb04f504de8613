#pragma once

#include <string>

#include "core/sync/FileOperation.h"

namespace ravelmoor {

// What a synchronisation did, in one line that the command line prints and
// the results window shows: "Synchronised in 2.1 seconds: 12 files copied
// (3,456 bytes), 2 objects moved to the trash." and, when some objects were
// left, how many (and how many of them had changed since the comparison).
std::string SyncSummaryText(const SyncTally& tally, bool stopped, double seconds);

}  // namespace ravelmoor
