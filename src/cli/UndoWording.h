#pragma once

#include <string>
#include <vector>

#include "core/journal/UndoPlan.h"

namespace ravelmoor {

struct SyncJournal;
struct UndoEnd;

// One step of an undo, as --dry-run lists it: what is done, the side, the path.
std::string UndoStepLine(const SyncJournal& journal, const UndoStep& step);
// The question asked before an undo: what it will do, in one sentence of counts.
std::string UndoQuestion(const SyncJournal& journal, const std::vector<UndoStep>& steps);
// What an undo of the synchronisation `id` came to, in one line.
std::string UndoSummary(const std::string& id, const UndoEnd& end);

}  // namespace ravelmoor
