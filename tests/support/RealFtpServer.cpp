#include "support/RealFtpServer.h"

#include <crypt.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "support/LoopbackPort.h"

namespace ravelmoor::test {
namespace {

namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text, mode_t mode = 0600) {
    std::ofstream(path, std::ios::trunc) << text;
    ::chmod(path.c_str(), mode);
}

// Where tests/support/fetch-ftp-servers.sh unpacked the servers that are not
// installed.
const std::string kUnpacked = RAVELMOOR_FTP_SERVERS_ROOT;

}  // namespace

const char* NameOf(FtpServerKind kind) {
    switch (kind) {
        case FtpServerKind::Vsftpd:
            return "vsftpd";
        case FtpServerKind::PureFtpd:
            return "pure-ftpd";
        case FtpServerKind::Proftpd:
            return "proftpd";
    }
    return "?";
}

RealFtpServer::RealFtpServer(FtpServerKind kind, const RealFtpServerSetup& setup) : kind_(kind) {
    const passwd* ftp = ::getpwnam("ftp");
    if (::geteuid() != 0) {
        missing_ = std::string(NameOf(kind)) + " needs root here, to change into its folder";
        return;
    }
    if (ftp == nullptr) {
        missing_ = "there is no user \"ftp\" (Debian's vsftpd package makes it)";
        return;
    }
    uid_ = ftp->pw_uid;
    gid_ = ftp->pw_gid;
    // The server reads "/" and writes below "/pub" only, as the user "ftp".
    ::chmod(files_.Path().c_str(), 0755);
    ::chmod(own_.Path().c_str(), 0755);
    files_.MakeFolder("pub");
    GiveToServer();
    port_ = FreeLoopbackPort();
    std::string config;
    switch (kind) {
        case FtpServerKind::Vsftpd:
            WriteVsftpdConfig(setup, config);
            Start("/usr/sbin/vsftpd", {config}, setup, "");
            break;
        case FtpServerKind::PureFtpd: {
            std::string database;
            if (!WritePureFtpdUsers(database)) break;
            Start(kUnpacked + "/usr/sbin/pure-ftpd",
                  {"-S", "127.0.0.1," + std::to_string(port_), "-l", "puredb:" + database, "-E",
                   "-H", "-f", "none"},
                  setup, "");
            break;
        }
        case FtpServerKind::Proftpd:
            WriteProftpdConfig(setup, config);
            Start(kUnpacked + "/usr/sbin/proftpd", {"-n", "-q", "-c", config}, setup,
                  kUnpacked + "/usr/lib/x86_64-linux-gnu");
            break;
    }
}

RealFtpServer::~RealFtpServer() {
    if (pid_ <= 0) return;
    // The server and the sessions it forked.
    ::kill(-pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

std::string RealFtpServer::Server() const {
    return "127.0.0.1:" + std::to_string(port_);
}

void RealFtpServer::GiveToServer() {
    std::error_code error;
    const std::string pub = files_.Full("pub");
    ::chown(pub.c_str(), uid_, gid_);
    for (auto it = fs::recursive_directory_iterator(pub, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        ::lchown(it->path().c_str(), uid_, gid_);
    }
}

void RealFtpServer::WriteVsftpdConfig(const RealFtpServerSetup& setup, std::string& config) {
    own_.MakeFolder("empty");
    config = own_.Full("vsftpd.conf");
    // Anonymous with write access stands in for an account: vsftpd logs
    // accounts on through PAM, whose services are the machine's.
    WriteText(config,
              "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" +
                  std::to_string(port_) +
                  "\nbackground=NO\nanonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
                  "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
                  "anon_other_write_enable=YES\nanon_world_readable_only=NO\nanon_umask=022\n"
                  "no_anon_password=YES\nftp_username=ftp\nanon_root=" +
                  files_.Path() + "\nsecure_chroot_dir=" + own_.Full("empty") +
                  "\nconnect_from_port_20=NO\nxferlog_enable=NO\nseccomp_sandbox=NO\n"
                  // As Debian configures it: listings and MDTM in the server's zone.
                  "use_localtime=YES\n" +
                  (setup.keepsNoTimes ? "mdtm_write=NO\n" : ""));
    user_.clear();
    password_.clear();
}

bool RealFtpServer::WritePureFtpdUsers(std::string& database) {
    const std::string tool = kUnpacked + "/usr/bin/pure-pw";
    if (::access(tool.c_str(), X_OK) != 0) {
        missing_ = "pure-ftpd is not unpacked in " + kUnpacked;
        return false;
    }
    user_ = "tester";
    password_ = "secret-word";
    const std::string users = own_.Full("pureftpd.passwd");
    database = own_.Full("pureftpd.pdb");
    // The user's line as pure-pw writes it, with a SHA-512 hash: pure-pw's
    // own (argon2) takes half a second at every logon.
    const char* hash = ::crypt(password_.c_str(), "$6$ravelmoor$");
    WriteText(users, user_ + ":" + (hash != nullptr ? hash : "*") + ":" + std::to_string(uid_) +
                         ":" + std::to_string(gid_) + "::" + files_.Path() + "/./::::::::::::\n");
    const std::string command =
        "'" + tool + "' mkdb '" + database + "' -f '" + users + "' >/dev/null";
    if (std::system(command.c_str()) != 0) {
        missing_ = "pure-pw could not make the server's user";
        return false;
    }
    return true;
}

void RealFtpServer::WriteProftpdConfig(const RealFtpServerSetup& setup, std::string& config) {
    user_ = "tester";
    password_ = "secret-word";
    const char* hash = ::crypt(password_.c_str(), "$6$ravelmoor$");
    WriteText(own_.Full("passwd"), user_ + ":" + (hash != nullptr ? hash : "*") + ":" +
                                       std::to_string(uid_) + ":" + std::to_string(gid_) +
                                       "::" + files_.Path() + ":/bin/false\n");
    WriteText(own_.Full("group"), "ftp:x:" + std::to_string(gid_) + ":\n");
    config = own_.Full("proftpd.conf");
    WriteText(config,
              "ServerType standalone\nServerName \"ravelmoor test\"\nDefaultAddress 127.0.0.1\n"
              "SocketBindTight on\nUseIPv6 off\nPort " +
                  std::to_string(port_) + "\nUser ftp\nGroup ftp\nPidFile " +
                  own_.Full("proftpd.pid") + "\nScoreboardFile " + own_.Full("scoreboard") +
                  "\nSystemLog " + own_.Full("proftpd.log") +
                  "\nDelayTable none\nWtmpLog off\nUseReverseDNS off\nRequireValidShell off\n"
                  "AuthOrder mod_auth_file.c\nAuthUserFile " +
                  own_.Full("passwd") + "\nAuthGroupFile " + own_.Full("group") +
                  "\nDefaultRoot ~\nAllowOverwrite on\nTimesGMT off\nModulePath " + kUnpacked +
                  "/usr/lib/proftpd\nLoadModule mod_site_misc.c\n" +
                  (setup.keepsNoTimes ? "<Limit MFMT SITE_UTIME>\n  DenyAll\n</Limit>\n" : ""),
              0644);
}

void RealFtpServer::Start(const std::string& program, const std::vector<std::string>& args,
                          const RealFtpServerSetup& setup, const std::string& libraries) {
    if (::access(program.c_str(), X_OK) != 0) {
        missing_ = program + " is not there (tests/support/fetch-ftp-servers.sh unpacks it)";
        return;
    }
    std::vector<std::string> words = {program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string log = own_.Full("server.log");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::setenv("TZ", setup.zone.empty() ? "UTC" : setup.zone.c_str(), 1);
        if (!libraries.empty()) ::setenv("LD_LIBRARY_PATH", libraries.c_str(), 1);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (out >= 0) {
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    for (int i = 0; i < 500 && !LoopbackAnswers(port_); ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (pid_ <= 0 || !LoopbackAnswers(port_)) {
        // The server is there but does not run: a fault of the set-up, not a skip.
        std::ifstream in(log);
        missing_ = std::string(NameOf(kind_)) +
                   " did not start: " + std::string(std::istreambuf_iterator<char>(in), {});
        ADD_FAILURE() << missing_;
    }
}

}  // namespace ravelmoor::test
