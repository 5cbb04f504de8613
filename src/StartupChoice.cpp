#include "StartupChoice.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "core/settings/SettingsFile.h"

namespace ravelmoor {
namespace {

// The variable's value; empty when it is not set.
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Whether a Unix socket accepts a connection; `abstractName` uses Linux's
// abstract namespace (a leading zero byte), which X servers listen on too.
bool SocketAnswers(const std::string& path, bool abstractName) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t offset = abstractName ? 1 : 0;
    if (path.empty() || path.size() + offset >= sizeof(address.sun_path)) return false;
    path.copy(address.sun_path + offset, path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return answers;
}

// A stale DISPLAY (a closed ssh session, a stopped Xvfb) would make Qt abort
// at start; a local display is checked at its socket. Displays over TCP are
// trusted: probing them could take as long as a network timeout.
bool X11DisplayAnswers(const std::string& display) {
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") return true;
    if (display.front() == '/') return SocketAnswers(display.substr(0, colon), false);
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    const std::string path = "/tmp/.X11-unix/X" + number;
    return SocketAnswers(path, false) || SocketAnswers(path, true);
}

bool WaylandDisplayAnswers(const std::string& display) {
    if (display.front() == '/') return SocketAnswers(display, false);
    const std::string runtime = Environment("XDG_RUNTIME_DIR");
    return !runtime.empty() && SocketAnswers(runtime + "/" + display, false);
}

}  // namespace

bool DisplayAvailable() {
    const std::string platform = Environment("QT_QPA_PLATFORM");
    if (!platform.empty()) {
        // "offscreen:fontengine=freetype" names the platform before the colon.
        const std::string name = platform.substr(0, platform.find(':'));
        return name != "offscreen" && name != "minimal";
    }
    const std::string wayland = Environment("WAYLAND_DISPLAY");
    const std::string x11 = Environment("DISPLAY");
    return (!wayland.empty() && WaylandDisplayAnswers(wayland)) ||
           (!x11.empty() && X11DisplayAnswers(x11));
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
