#include "support/SshTestServer.h"

#include <dirent.h>
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
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "support/LoopbackPort.h"

namespace ravelmoor::test {
namespace {

void Run(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

void MakeKey(const std::string& path) {
    Run("/usr/bin/ssh-keygen -q -t ed25519 -N '' -f '" + path + "' >/dev/null");
}

// The processes whose parent is `parent`, and theirs, from /proc.
void Descendants(pid_t parent, std::vector<pid_t>& out) {
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return;
    std::vector<pid_t> children;
    while (const dirent* entry = ::readdir(proc)) {
        const auto pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        std::getline(stat, line);
        const size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        char state = 0;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent) children.push_back(pid);
    }
    ::closedir(proc);
    for (const pid_t child : children) {
        out.push_back(child);
        Descendants(child, out);
    }
}

}  // namespace

SshTestServer::SshTestServer(SftpServing serving) {
    const char* home = std::getenv("HOME");
    previousHome_ = home != nullptr ? home : "";
    ::setenv("HOME", home_.Path().c_str(), 1);
    MakeKey(files_.Full("host_key"));
    MakeKey(files_.Full("user_key"));
    MakeKey(files_.Full("stranger"));
    Run("cp '" + files_.Full("user_key.pub") + "' '" + files_.Full("authorized_keys") + "'");
    port_ = FreeLoopbackPort();
    switch (serving) {
        case SftpServing::InsideSshd:
            WriteConfig("internal-sftp");
            break;
        case SftpServing::InsideChroot:
            if (!MakeChroot()) {
                port_ = 0;
                return;
            }
            WriteConfig("internal-sftp", /*chroot=*/true);
            break;
        case SftpServing::SftpServerProgram:
            WriteConfig("/usr/lib/openssh/sftp-server");
            break;
    }
    Start();
}

bool SshTestServer::MakeChroot() {
    if (::getuid() != 0) {
        missing_ = "sshd shuts a session in a folder only when it runs as root";
        return false;
    }
    if (previousHome_.empty() || previousHome_[0] != '/') {
        missing_ = "no home folder to make the chroot in";
        return false;
    }
    // sshd shuts a session in only a folder that root owns and no one else
    // may write, and so is every folder above it.
    for (std::filesystem::path at = previousHome_; !at.empty(); at = at.parent_path()) {
        struct stat facts {};
        if (::stat(at.c_str(), &facts) != 0 || facts.st_uid != 0 ||
            (facts.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
            missing_ = "sshd takes no chroot below " + at.string() +
                       ", which is not root's alone to write";
            return false;
        }
        if (at == at.parent_path()) break;
    }
    std::string pattern = previousHome_ + "/chroot-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        missing_ = "no folder for the chroot in " + previousHome_;
        return false;
    }
    chroot_ = pattern;
    ::chmod(chroot_.c_str(), 0755);
    ::mkdir((chroot_ + "/pub").c_str(), 0755);
    return true;
}

void SshTestServer::WriteConfig(const std::string& subsystem, bool chroot) {
    const passwd* me = ::getpwuid(::getuid());
    std::ofstream config(files_.Full("sshd_config"));
    config << "Port " << port_ << "\nListenAddress 127.0.0.1\n"
           << "HostKey " << files_.Full("host_key") << "\n"
           << "AuthorizedKeysFile " << files_.Full("authorized_keys") << "\n"
           << "PidFile " << files_.Full("sshd.pid") << "\n"
           << "StrictModes no\nUsePAM no\nPasswordAuthentication no\n"
           << "KbdInteractiveAuthentication no\nPermitRootLogin prohibit-password\n"
           << "AllowUsers " << (me != nullptr ? me->pw_name : "root") << "\n"
           << "Subsystem sftp " << subsystem << "\n";
    if (chroot) config << "ChrootDirectory " << chroot_ << "\n";
}

void SshTestServer::Start() {
    const std::string configPath = files_.Full("sshd_config");
    const std::string logPath = files_.Full("sshd.log");
    // Run as root, sshd wants its empty privilege separation folder, which
    // the system's service makes at boot.
    if (::getuid() == 0) ::mkdir("/run/sshd", 0755);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // What sshd says with -e goes to a log beside its files, not into the test's output.
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (log >= 0) ::dup2(log, STDERR_FILENO);
        ::execl("/usr/sbin/sshd", "/usr/sbin/sshd", "-D", "-e", "-f", configPath.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The server needs a moment to read its keys and bind the port.
    for (int i = 0; i < 300 && !LoopbackAnswers(port_); ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(LoopbackAnswers(port_)) << "sshd did not start on port " << port_;
}

void SshTestServer::Signal(int signal, bool sessionsOnly) {
    if (pid_ <= 0) return;
    std::vector<pid_t> pids;
    Descendants(pid_, pids);
    if (!sessionsOnly) pids.insert(pids.begin(), pid_);
    for (const pid_t pid : pids)
        ::kill(pid, signal);
}

void SshTestServer::Kill() {
    Signal(SIGKILL, false);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

void SshTestServer::Freeze(bool frozen) {
    Signal(frozen ? SIGSTOP : SIGCONT, true);
}

void SshTestServer::DropAfter(size_t bytes) {
    Kill();
    // The SFTP server's answers pass through dd, a byte at a time so that
    // each is handed on at once; after so many bytes the session ends, its
    // server too: the connection drops there, every time.
    WriteConfig("/bin/sh -c '/usr/lib/openssh/sftp-server | { /bin/dd bs=1 count=" +
                std::to_string(bytes) + " status=none; kill 0; }'");
    Start();
}

void SshTestServer::ChangeHostKey() {
    Kill();
    Run("rm -f '" + files_.Full("host_key") + "' '" + files_.Full("host_key.pub") + "'");
    MakeKey(files_.Full("host_key"));
    Start();
}

SshTestServer::~SshTestServer() {
    Signal(SIGCONT, true);
    Kill();
    if (!chroot_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(chroot_, error);
    }
    if (previousHome_.empty()) {
        ::unsetenv("HOME");
    } else {
        ::setenv("HOME", previousHome_.c_str(), 1);
    }
}

std::string SshTestServer::KnownHostsLine() const {
    std::ifstream key(files_.Full("host_key.pub"));
    std::string type;
    std::string base64;
    key >> type >> base64;
    return "[127.0.0.1]:" + std::to_string(port_) + " " + type + " " + base64;
}

SftpConnection SshTestServer::Connection(const std::string& directory) const {
    SftpConnection connection;
    connection.host = "127.0.0.1";
    connection.port = port_;
    const passwd* me = ::getpwuid(::getuid());
    connection.user = me != nullptr ? me->pw_name : "root";
    connection.directory = directory;
    connection.logon = SftpLogon::KeyFile;
    connection.keyFile = files_.Full("user_key");
    connection.timeoutSeconds = 10;
    return connection;
}

}  // namespace ravelmoor::test
