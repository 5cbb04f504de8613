#pragma once

#include <string>
#include <vector>

namespace ravelmoor {

// Whether `ravelmoor` starts the desktop program or the command line. The
// desktop program runs for no arguments at all or for one settings file
// (".zvs"), and only where Qt can show windows to someone: QT_QPA_PLATFORM
// names a platform other than "offscreen" or "minimal", or, without it, an
// X11 or Wayland display is set and its local socket answers. Everything
// else goes to the command line, which never needs a display.
bool DisplayAvailable();
bool StartsDesktop(const std::vector<std::string>& arguments, bool displayAvailable);

// The settings file a desktop start names: the first argument with every
// double quote removed (a path quoted once too often still loads); empty
// when there is none.
std::string SettingsFileArgument(const std::vector<std::string>& arguments);

}  // namespace ravelmoor
