#pragma once

#include <string>
#include <string_view>

#include "cli/CompareOptions.h"

namespace ravelmoor {

// `ravelmoor FILE.zvs` where the desktop program cannot run: says so, then
// compares the file's folders with its settings as `compare --settings FILE`
// would, with any further options of `args`.
int RunSettingsFileWithoutDesktop(const std::string& path, ArgumentList& args);

}  // namespace ravelmoor
