#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "core/ftp/FtpConnection.h"

namespace ravelmoor::test {

// A real FTP server (Debian's pyftpdlib, through tests/support/ftp_test_server.py)
// serving `folder` on 127.0.0.1 and a free port, started by the constructor
// (which waits until it listens) and stopped by the destructor. Without a
// user it lets anyone log on anonymously. `flags` are the script's fault
// switches ("--list-only", "--hang-listing", ...).
class FtpTestServer {
  public:
    FtpTestServer(const std::string& folder, const std::string& user = {},
                  const std::string& password = {}, const std::vector<std::string>& flags = {});
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    bool Running() const { return port_ > 0; }
    // "127.0.0.1:PORT"
    std::string Server() const;
    // A connection record for this server, logging on as the server expects.
    FtpConnection Connection(const std::string& directory) const;

  private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string user_;
    std::string password_;
};

}  // namespace ravelmoor::test
