#include "cli/SettingsFileCommand.h"

#include <vector>

#include "app/SettingsFile.h"
#include "cli/CompareCommand.h"
#include "cli/Terminal.h"
#include "engine/CaseFold.h"

namespace ravelmoor {

bool IsSettingsFileArgument(std::string_view argument) {
    const std::string suffix = std::string(".") + kSettingsFileExtension;
    return argument.size() > suffix.size() &&
           FoldCase(argument.substr(argument.size() - suffix.size())) == suffix;
}

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
