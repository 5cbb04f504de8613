#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "core/ftp/FtpConnection.h"
#include "support/TempTree.h"

namespace ravelmoor::test {

// The FTP servers people meet, run by the tests as they come from Debian.
enum class FtpServerKind {
    Vsftpd,    // Debian's vsftpd: LIST only, MDTM in the server's zone, MDTM with a time
    PureFtpd,  // pure-ftpd: MLSD, MFMT
    Proftpd,   // proftpd: MLSD, MFMT, SITE UTIME
};

const char* NameOf(FtpServerKind kind);

struct RealFtpServerSetup {
    // TZ of the server process ("" for UTC): its listings' clock readings.
    std::string zone;
    // Refuses every command that sets a file's time (vsftpd without MDTM
    // with a time; proftpd with MFMT and SITE UTIME denied).
    bool keepsNoTimes = false;
};

// A real FTP server on 127.0.0.1 and a free port, with its own
// configuration and a throw-away logon (vsftpd: anonymous with write
// access; pure-ftpd and proftpd: a virtual user "tester"), serving the
// folder Files() as "/". Its sub-folder "pub", writable by the server, is
// the connection's folder. vsftpd is Debian's installed one; pure-ftpd and
// proftpd, whose packages conflict with vsftpd's, run from the build folder
// where tests/support/fetch-ftp-servers.sh unpacked them. Needs root (the
// servers change into their folder's root and into the user "ftp"): where
// that, or the server, is missing, Missing() says why and the test skips.
class RealFtpServer {
  public:
    explicit RealFtpServer(FtpServerKind kind, const RealFtpServerSetup& setup = {});
    ~RealFtpServer();
    RealFtpServer(const RealFtpServer&) = delete;
    RealFtpServer& operator=(const RealFtpServer&) = delete;

    // Why the server is not running; empty when it is.
    const std::string& Missing() const { return missing_; }
    // "127.0.0.1:PORT"
    std::string Server() const;
    const std::string& User() const { return user_; }
    const std::string& Password() const { return password_; }
    // The served folder on disk: "pub/" below it is the server's "/pub/".
    TempTree& Files() { return files_; }
    // Hands everything below "pub" to the server's user, so that it may
    // replace and delete what the test wrote there.
    void GiveToServer();

  private:
    void WriteVsftpdConfig(const RealFtpServerSetup& setup, std::string& config);
    bool WritePureFtpdUsers(std::string& database);
    void WriteProftpdConfig(const RealFtpServerSetup& setup, std::string& config);
    void Start(const std::string& program, const std::vector<std::string>& args,
               const RealFtpServerSetup& setup, const std::string& libraries);

    TempTree files_;
    TempTree own_;  // configuration, user files, logs
    FtpServerKind kind_;
    std::string missing_;
    std::string user_;
    std::string password_;
    pid_t pid_ = -1;
    int port_ = 0;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

}  // namespace ravelmoor::test
