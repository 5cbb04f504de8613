#include "app/StartupChoice.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "cli/SettingsFileCommand.h"

namespace ravelmoor {
namespace {

// The variable's value; empty when it is not set.
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

bool DisplayAvailable() {
    const std::string platform = Environment("QT_QPA_PLATFORM");
    if (!platform.empty()) {
        // "offscreen:fontengine=freetype" names the platform before the colon.
        const std::string name = platform.substr(0, platform.find(':'));
        return name != "offscreen" && name != "minimal";
    }
    return !Environment("DISPLAY").empty() || !Environment("WAYLAND_DISPLAY").empty();
}

bool StartsDesktop(const std::vector<std::string>& arguments, bool displayAvailable) {
    if (!displayAvailable) return false;
    return arguments.empty() ||
           (arguments.size() == 1 && IsSettingsFileArgument(SettingsFileArgument(arguments)));
}

std::string SettingsFileArgument(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return {};
    std::string path = arguments.front();
    path.erase(std::remove(path.begin(), path.end(), '"'), path.end());
    return path;
}

}  // namespace ravelmoor
