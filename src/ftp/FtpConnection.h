#pragma once

#include <string>

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

    bool IsEmpty() const { return server.empty(); }
    bool operator==(const FtpConnection&) const = default;
};

}  // namespace ravelmoor
