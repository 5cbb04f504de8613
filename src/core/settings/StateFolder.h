#pragma once

#include <string>

namespace ravelmoor {

// The program's folder for what it keeps between runs that is not a setting
// (journals, what servers were found to do): $XDG_STATE_HOME/ravelmoor, else
// ~/.local/state/ravelmoor. Empty when neither XDG_STATE_HOME nor HOME is an
// absolute path.
std::string StateFolder();

}  // namespace ravelmoor
