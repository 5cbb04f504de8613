#include "core/sftp/ProxyCommand.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace ravelmoor {

ProxyCommand::~ProxyCommand() {
    if (connection_ >= 0) ::close(connection_);
    if (errors_ >= 0) ::close(errors_);
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}

bool ProxyCommand::Start(const std::string& command) {
    int pair[2];
    int errors[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        error_ = std::strerror(errno);
        return false;
    }
    if (::pipe2(errors, O_CLOEXEC | O_NONBLOCK) != 0) {
        error_ = std::strerror(errno);
        ::close(pair[0]);
        ::close(pair[1]);
        return false;
    }
    // The command's end of the pipe blocks as any standard error does.
    ::fcntl(errors[1], F_SETFL, 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pair[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pair[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    const int spawned =
        ::posix_spawn(&pid_, "/bin/sh", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pair[1]);
    ::close(errors[1]);
    if (spawned != 0) {
        pid_ = -1;
        error_ = std::strerror(spawned);
        ::close(pair[0]);
        ::close(errors[0]);
        return false;
    }
    connection_ = pair[0];
    errors_ = errors[0];
    return true;
}

int ProxyCommand::TakeConnection() {
    const int fd = connection_;
    connection_ = -1;
    return fd;
}

std::string ProxyCommand::Said() {
    char buffer[4096];
    while (errors_ >= 0) {
        const ssize_t got = ::read(errors_, buffer, sizeof buffer);
        if (got > 0) {
            said_.append(buffer, static_cast<size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    // Its lines, one after the other: ssh says where it failed and why.
    std::string lines;
    size_t start = 0;
    while (start < said_.size()) {
        size_t end = said_.find('\n', start);
        if (end == std::string::npos) end = said_.size();
        std::string_view line = std::string_view(said_).substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        if (!line.empty()) lines += (lines.empty() ? "" : "; ") + std::string(line);
        start = end + 1;
    }
    if (!lines.empty()) return lines;
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
        if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
    }
    return {};
}

}  // namespace ravelmoor
