#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/sftp/SftpConnection.h"
#include "support/FtpTestServer.h"
#include "support/RunProgram.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor::test {

// `path` as seen from the folder an SFTP logon starts in (sshd's home of the
// user, or the root when that is missing).
std::string RelativeToLogon(const std::string& path);

// A folder on a server on this machine, stored as a connection the way a
// user stores one, and a local folder to compare it with. Local deletions go
// to a trash of the test's own, the undo journal to a state folder of its own.
class CommandLine {
  public:
    // An FTP server of its own, started with `flags`, serves `served`.
    explicit CommandLine(const std::vector<std::string>& flags);
    // `served` stored as the SFTP connection `name` with the logon (and the
    // listing agent, when it names one) of `connection`; with `relative`, as
    // a path below the folder the logon starts in.
    explicit CommandLine(const SftpConnection& connection, bool relative = false,
                         const std::string& name = "box");
    // `args` followed by the two sides, the server's as Target or Source.
    ProgramResult Run(std::vector<std::string> args, bool serverIsTarget = true);

    TempTree served;
    TempTree local;
    TempConfigHome home;
    TempTree trash;
    std::unique_ptr<FtpTestServer> ftp;
    std::map<std::string, std::string> environment;
    ProgramResult added;
    std::string side;

  private:
    void Add(const std::vector<std::string>& args, std::string name);
};

}  // namespace ravelmoor::test
