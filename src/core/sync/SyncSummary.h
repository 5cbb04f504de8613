#pragma once

#include <cstddef>
#include <string>

#include "core/sync/FileOperation.h"

namespace ravelmoor {

// What a synchronisation did, in one line that the command line prints and
// the results window shows: "Synchronised in 2.1 seconds: 12 files copied
// (3,456 bytes), 2 objects moved to the trash." and, when some objects were
// left, how many (and how many of them had changed since the comparison).
std::string SyncSummaryText(const SyncTally& tally, bool stopped, double seconds);

// What an undo did, in the same words: "Undone in 0.4 seconds: 12 changes
// taken back, 2 already as before, 1 not undone." (the last two only when
// there are any), or "Stopped after ..." when it was stopped.
std::string UndoSummaryText(size_t done, size_t already, size_t left, bool stopped, double seconds);

}  // namespace ravelmoor
