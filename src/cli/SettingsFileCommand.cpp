#include "cli/SettingsFileCommand.h"

#include <vector>

#include "cli/CompareCommand.h"
#include "cli/Terminal.h"
#include "core/settings/SettingsFile.h"

namespace ravelmoor {

int RunSettingsFileWithoutDesktop(const std::string& path, ArgumentList& args) {
    // With options after the file the command line was asked for on purpose; only a bare
    // file name means the person wanted the desktop program.
    if (args.AtEnd()) {
        Terminal::Message("The desktop program is not available here; comparing the folders of " +
                          path + " on the command line.");
    }
    std::vector<std::string> words = {"--settings", path};
    while (!args.AtEnd())
        words.push_back(args.Take());
    ArgumentList compareArgs(std::move(words));
    return RunCompareCommand(compareArgs);
}

}  // namespace ravelmoor
