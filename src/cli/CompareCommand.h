#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

// `ravelmoor compare [OPTIONS] SOURCE TARGET`. Exit status: 0 identical,
// 1 differences, 2 error or cancelled.
int RunCompareCommand(ArgumentList& args);

}  // namespace ravelmoor
