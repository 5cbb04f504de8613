#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

class FolderComparer;

// Checks the two sides of `request` (normalising the folder texts in place),
// prepares `comparer` with the request's method, settings and filter rules,
// and runs the comparison with a live progress line. True when the run
// completed; false when the launch was refused or the run failed or was
// cancelled (the reason has been said on stderr).
bool CompareFromRequest(CompareRequest& request, FolderComparer& comparer);

}  // namespace ravelmoor
