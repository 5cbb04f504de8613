#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

// `ravelmoor sync --method M [OPTIONS] SOURCE TARGET`: compares, plans,
// previews or confirms, carries the plan out and prints the rows that still
// differ. Returns the exit status.
int RunSyncCommand(ArgumentList& args);

}  // namespace ravelmoor
