#pragma once

#include <string>

namespace ravelmoor {

// The desktop program: reads the settings, shows the main window (which
// loads and compares `settingsFile` when one is named) and runs until it
// closes; the settings are written back as it goes.
int RunDesktop(int argc, char** argv, const std::string& settingsFile);

// Makes the icons and help pages compiled into the program available.
void LoadProgramResources();

}  // namespace ravelmoor
