#include "core/sftp/SshConfig.h"

#include <fcntl.h>
#include <libssh/libssh.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/text/Translated.h"

extern char** environ;

namespace ravelmoor {
namespace {

constexpr const char* kSystemConfig = "/etc/ssh/ssh_config";

struct CharDeleter {
    void operator()(char* text) const { ssh_string_free_char(text); }
};

// A string option of the session; empty when it is not set.
std::string Option(ssh_session session, ssh_options_e option) {
    char* raw = nullptr;
    if (ssh_options_get(session, option, &raw) != SSH_OK || raw == nullptr) return {};
    const std::unique_ptr<char, CharDeleter> value(raw);
    return value.get();
}

std::string DatabaseHome() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

std::string LocalUser() {
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_name != nullptr ? entry->pw_name : "";
}

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// `text` with '...' around it for /bin/sh.
std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted.push_back(c);
        }
    }
    return quoted + "'";
}

// What a program writes on standard output, when it runs and ends with 0.
bool OutputOf(const std::vector<std::string>& words, std::string& output) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (spawned != 0) {
        ::close(pipe[0]);
        return false;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(pipe[0], buffer, sizeof buffer);
        if (got > 0) {
            output.append(buffer, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(pipe[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What OpenSSH takes from the configuration for a host: `ssh -G` prints
// the options that apply, without connecting.
struct OpenSshReading {
    std::string host;
    int port = 22;
    std::string user;
    std::string knownHosts;  // the first file
    std::vector<std::string> identities;
    std::string proxyJump;
    std::string proxyCommand;
    bool strict = false;
};

bool ReadWithOpenSsh(const SftpConnection& connection, const std::string& configFile,
                     OpenSshReading& reading) {
    std::vector<std::string> words = {"/usr/bin/ssh", "-G"};
    if (!configFile.empty()) words.insert(words.end(), {"-F", configFile});
    if (!connection.user.empty()) words.insert(words.end(), {"-l", connection.user});
    if (connection.port != 22) words.insert(words.end(), {"-p", std::to_string(connection.port)});
    words.insert(words.end(), {"--", connection.host});
    std::string output;
    if (!OutputOf(words, output)) return false;
    const std::string_view text = output;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const size_t space = line.find(' ');
        if (space == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, space);
        const std::string value(line.substr(space + 1));
        if (key == "hostname") {
            reading.host = value;
        } else if (key == "port") {
            reading.port = std::atoi(value.c_str());
        } else if (key == "user") {
            reading.user = value;
        } else if (key == "userknownhostsfile") {
            reading.knownHosts = value.substr(0, value.find(' '));
        } else if (key == "identityfile") {
            reading.identities.push_back(value);
        } else if (key == "proxyjump") {
            reading.proxyJump = value;
        } else if (key == "proxycommand") {
            reading.proxyCommand = value;
        } else if (key == "stricthostkeychecking") {
            reading.strict = value == "true" || value == "yes";
        }
    }
    return !reading.host.empty() && reading.port > 0 && reading.port < 65536;
}

// The ssh command that reaches a ProxyJump's first host ("[user@]host[:port]")
// and forwards the connection, the other hosts being its own jumps: what
// OpenSSH and libssh run for a ProxyJump.
std::string JumpCommand(const std::string& jumps, const std::string& configFile) {
    const size_t comma = jumps.find(',');
    std::string first = jumps.substr(0, comma);
    std::string user;
    std::string port;
    if (const size_t at = first.rfind('@'); at != std::string::npos) {
        user = first.substr(0, at);
        first.erase(0, at + 1);
    }
    const size_t close = first.starts_with('[') ? first.find(']') : std::string::npos;
    if (close != std::string::npos) {
        if (first.size() > close + 1 && first[close + 1] == ':') port = first.substr(close + 2);
        first = first.substr(1, close - 1);
    } else if (const size_t colon = first.find(':');
               colon != std::string::npos && first.find(':', colon + 1) == std::string::npos) {
        port = first.substr(colon + 1);
        first.erase(colon);
    }
    std::string command = "ssh";
    if (!configFile.empty()) command += " -F " + ShellQuoted(configFile);
    if (!user.empty()) command += " -l " + ShellQuoted(user);
    if (!port.empty()) command += " -p " + ShellQuoted(port);
    if (comma != std::string::npos) command += " -J " + ShellQuoted(jumps.substr(comma + 1));
    return command + " -W '[%h]:%p' " + ShellQuoted(first);
}

// A ProxyCommand's %-tokens, as OpenSSH fills them in.
std::string Expanded(const std::string& command, const std::string& alias, const std::string& host,
                     int port, const std::string& user, const std::string& sshFolder) {
    std::string out;
    for (size_t at = 0; at < command.size(); ++at) {
        if (command[at] != '%' || at + 1 == command.size()) {
            out.push_back(command[at]);
            continue;
        }
        switch (command[++at]) {
            case 'h':
                out += host;
                break;
            case 'p':
                out += std::to_string(port);
                break;
            case 'r':
                out += user.empty() ? LocalUser() : user;
                break;
            case 'n':
                out += alias;
                break;
            case 'd':
                out += sshFolder;
                break;
            case 'u':
                out += LocalUser();
                break;
            case '%':
                out.push_back('%');
                break;
            default:
                out.push_back('%');
                out.push_back(command[at]);
                break;
        }
    }
    return out;
}

// libssh turns a ProxyJump into this command for the ssh program.
bool IsJumpCommand(const std::string& command) {
    return command.starts_with("ssh ") && command.find(" -W '[%h]:%p' ") != std::string::npos;
}

}  // namespace

std::string SshConfig::UserHome() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    return DatabaseHome();
}

SshConfig SshConfig::Apply(ssh_session session, const SftpConnection& connection) {
    SshConfig config;
    const std::string home = UserHome();
    const std::string databaseHome = DatabaseHome();
    const std::string sshFolder = home.empty() ? std::string() : home + "/.ssh";
    // "~" is $HOME for this program; where that is not the home folder ssh
    // reads by itself, ssh is told the configuration to read.
    const auto inHome = [&](std::string path) {
        if (path.starts_with("~/")) {
            path = home + path.substr(1);
        } else if (home != databaseHome && !databaseHome.empty() &&
                   path.starts_with(databaseHome + "/")) {
            path = home + path.substr(databaseHome.size());
        }
        for (size_t at = path.find("%d"); at != std::string::npos; at = path.find("%d", at)) {
            path.replace(at, 2, sshFolder);
            at += sshFolder.size();
        }
        return path;
    };
    std::string givenConfig;
    if (home != databaseHome) {
        givenConfig = IsFile(sshFolder + "/config") ? sshFolder + "/config" : kSystemConfig;
    }

    const int no = 0;
    ssh_options_set(session, SSH_OPTIONS_PROCESS_CONFIG, &no);
    ssh_options_set(session, SSH_OPTIONS_HOST, connection.host.c_str());
    if (!sshFolder.empty()) {
        ssh_options_set(session, SSH_OPTIONS_SSH_DIR, sshFolder.c_str());
        const std::string known = sshFolder + "/known_hosts";
        ssh_options_set(session, SSH_OPTIONS_KNOWNHOSTS, known.c_str());
    }

    std::string proxy;
    OpenSshReading reading;
    if (ReadWithOpenSsh(connection, givenConfig, reading)) {
        // OpenSSH's own reading, where its ssh is installed: libssh 0.10's
        // parser lets a negated pattern ("Host * !nas") match and matches
        // the Host lines after a HostName against the new name.
        ssh_options_set(session, SSH_OPTIONS_HOST, reading.host.c_str());
        ssh_options_set(session, SSH_OPTIONS_PORT, &reading.port);
        if (!reading.user.empty()) ssh_options_set(session, SSH_OPTIONS_USER, reading.user.c_str());
        if (!reading.knownHosts.empty()) {
            const std::string known = inHome(reading.knownHosts);
            ssh_options_set(session, SSH_OPTIONS_KNOWNHOSTS, known.c_str());
        }
        // Each goes to the front of libssh's list: the last first.
        for (auto it = reading.identities.rbegin(); it != reading.identities.rend(); ++it) {
            const std::string identity = inHome(*it);
            ssh_options_set(session, SSH_OPTIONS_ADD_IDENTITY, identity.c_str());
        }
        if (!reading.proxyJump.empty() && reading.proxyJump != "none") {
            proxy = JumpCommand(reading.proxyJump, givenConfig);
        } else if (reading.proxyCommand != "none") {
            proxy = reading.proxyCommand;
        }
        config.refusesUnknown_ = reading.strict;
    } else {
        // Without OpenSSH's ssh, libssh reads the files: the user's
        // (%d/config, %d being the folder above), then the system's.
        if (ssh_options_parse_config(session, nullptr) < 0) {
            config.problem_ =
                FillIn(QCoreApplication::translate("SshConfig",
                                                   "The SSH configuration %1 cannot be read: %2"),
                       {sshFolder + "/config", ssh_get_error(session)});
            return config;
        }
        if (!connection.user.empty()) {
            ssh_options_set(session, SSH_OPTIONS_USER, connection.user.c_str());
        }
        if (connection.port != 22) ssh_options_set(session, SSH_OPTIONS_PORT, &connection.port);
        const std::string known = inHome(Option(session, SSH_OPTIONS_KNOWNHOSTS));
        if (!known.empty()) ssh_options_set(session, SSH_OPTIONS_KNOWNHOSTS, known.c_str());
        proxy = Option(session, SSH_OPTIONS_PROXYCOMMAND);
        if (IsJumpCommand(proxy) && !givenConfig.empty()) {
            proxy.insert(3, " -F " + ShellQuoted(givenConfig));
        }
    }

    config.host_ = Option(session, SSH_OPTIONS_HOST);
    if (config.host_.empty()) config.host_ = connection.host;
    unsigned int port = 22;
    if (ssh_options_get_port(session, &port) == SSH_OK && port > 0 && port < 65536) {
        config.port_ = static_cast<int>(port);
    }
    config.user_ = Option(session, SSH_OPTIONS_USER);
    config.knownHosts_ = Option(session, SSH_OPTIONS_KNOWNHOSTS);
    if (!proxy.empty() && proxy != "none") {
        config.proxyCommand_ =
            Expanded(proxy, connection.host, config.host_, config.port_, config.user_, sshFolder);
    }
    // The session is handed a connected socket; libssh is not to start the
    // command itself.
    ssh_options_set(session, SSH_OPTIONS_PROXYCOMMAND, "none");
    return config;
}

}  // namespace ravelmoor
