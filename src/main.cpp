#include <string>
#include <vector>

#include "StartupChoice.h"
#include "cli/CommandLine.h"
#include "gui/main/DesktopApp.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (ravelmoor::StartsDesktop(arguments, ravelmoor::DisplayAvailable())) {
        return ravelmoor::RunDesktop(argc, argv, ravelmoor::SettingsFileArgument(arguments));
    }
    return ravelmoor::RunCommandLine(argc, argv);
}
