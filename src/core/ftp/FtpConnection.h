#pragma once

#include <string>
#include <string_view>

namespace ravelmoor {

// A named FTP connection as stored per user. An empty `server` means "no such
// connection"; on a comparison side it means the side is local.
struct FtpConnection {
    std::string server;
    std::string user;
    std::string password;
    std::string directory;
    // Use passive data connections (stored as "Passive" 1 or 0).
    bool passive = false;
    // How long the server may stay silent (no reply, no byte of a transfer)
    // before the call fails as timed out. Not stored: always the default for
    // stored connections.
    int timeoutSeconds = 60;

    bool IsEmpty() const { return server.empty(); }
    bool operator==(const FtpConnection&) const = default;
};

// A CR, LF or NUL would end an FTP command early and start another: no field
// that goes into a command may hold one.
inline bool HasLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace ravelmoor
