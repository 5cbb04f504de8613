#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

// `ravelmoor undo [ID] [--dry-run] [--yes] [--force]`: takes back the changes
// of the synchronisation ID (by default the last one), as its journal names
// them, after showing their counts and asking. Returns the exit status, as
// `sync` does.
int RunUndoCommand(ArgumentList& args);

}  // namespace ravelmoor
