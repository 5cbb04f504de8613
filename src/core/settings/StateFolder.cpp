#include "core/settings/StateFolder.h"

#include <cstdlib>

namespace ravelmoor {

std::string StateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/ravelmoor";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/.local/state/ravelmoor";
}

}  // namespace ravelmoor
