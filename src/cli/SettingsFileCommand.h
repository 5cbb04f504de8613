#pragma once

#include <string>
#include <string_view>

#include "cli/CompareOptions.h"

namespace ravelmoor {

// True for a first argument that names a settings file: one ending in ".zvs",
// in any case. The desktop program opens such a file and compares at once.
bool IsSettingsFileArgument(std::string_view argument);

// `ravelmoor FILE.zvs` where the desktop program cannot run: says so, then
// compares the file's folders with its settings as `compare --settings FILE`
// would, with any further options of `args`.
int RunSettingsFileWithoutDesktop(const std::string& path, ArgumentList& args);

}  // namespace ravelmoor
