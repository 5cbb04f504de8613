#include "app/StartupChoice.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "cli/SettingsFileCommand.h"

namespace ravelmoor {
namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

bool DisplayAvailable() {
    if (IsSet("QT_QPA_PLATFORM")) {
        // "offscreen:fontengine=freetype" names the platform before the colon.
        std::string platform = std::getenv("QT_QPA_PLATFORM");
        platform = platform.substr(0, platform.find(':'));
        return platform != "offscreen" && platform != "minimal";
    }
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
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
