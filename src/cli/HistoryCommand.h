#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

// `ravelmoor history [--format text|json]`: lists the synchronisations whose
// journals are kept, oldest first: ID, time, roots, method and the counts of
// their changes. Returns the exit status.
int RunHistoryCommand(ArgumentList& args);

}  // namespace ravelmoor
