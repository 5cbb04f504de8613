#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

class Comparison;
class Prompter;

// Checks the two sides of `request` (normalising the folder texts in place),
// prepares `comparison` with the request's method, settings and filter rules,
// and runs the comparison on a worker thread while the main thread shows a
// live progress line on a terminal (entries per side, phase, bytes checked)
// and passes Ctrl-C on as the cancel word. True when the run completed;
// false when the launch was refused or the run failed or was cancelled (the
// reason has been said on stderr).
bool CompareFromRequest(CompareRequest& request, Comparison& comparison, Prompter& prompter);

}  // namespace ravelmoor
