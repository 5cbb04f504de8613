#pragma once

#include <optional>
#include <string>

#include "cli/CompareOptions.h"

namespace ravelmoor {

// What `ravelmoor undo` was asked to do.
struct UndoRequest {
    std::string id;  // the synchronisation to undo
    bool dryRun = false;
    bool yes = false;
    bool force = false;
    bool noJournal = false;
};

// Reads the undo's options (printing the help when asked) and picks the
// synchronisation: the one named, or the last one (an unfinished undo of an
// earlier one goes on with it). Returns the exit status when the command
// ends here; nothing when it goes on.
std::optional<int> ReadUndoRequest(ArgumentList& args, UndoRequest& request);

}  // namespace ravelmoor
