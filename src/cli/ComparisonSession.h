#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

class Comparison;
class Prompter;

// Refuses a filter expression the filter dialog would refuse, then starts the
// request's job (StartComparison; the folder texts are normalised in place)
// and runs the comparison on a worker thread while the main thread shows a
// live progress line on a terminal (entries per side, phase, bytes checked)
// and passes Ctrl-C on as the cancel word. True when the run completed;
// false when the launch was refused or the run failed or was cancelled (the
// reason has been said on stderr).
bool CompareFromRequest(CompareRequest& request, Comparison& comparison, Prompter& prompter);

}  // namespace ravelmoor
