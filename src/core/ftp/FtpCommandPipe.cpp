#include "core/ftp/FtpCommandPipe.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "core/ftp/FtpServerName.h"

namespace ravelmoor {
namespace {

constexpr int kTickMs = 100;
// How long two commands sent together may take to be answered before the
// server is taken for one that does not read ahead.
constexpr std::chrono::seconds kTrialPatience{5};

struct AddressesDeleter {
    void operator()(addrinfo* addresses) const { ::freeaddrinfo(addresses); }
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

FtpCommandPipe::FtpCommandPipe(FtpConnection connection, const std::atomic<int32_t>* cancel)
    : connection_(std::move(connection)), cancel_(cancel) {}

FtpCommandPipe::~FtpCommandPipe() {
    if (fd_ < 0) return;
    Send("QUIT");
    ::close(fd_);
}

bool FtpCommandPipe::Cancelled() const {
    return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed) != 0;
}

bool FtpCommandPipe::Connect() {
    std::string host;
    std::string port;
    std::string problem;
    if (!SplitServer(connection_.server, host, port, problem)) return false;
    if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return false;
    const std::unique_ptr<addrinfo, AddressesDeleter> addresses(found);
    for (const addrinfo* at = found; at != nullptr && fd_ < 0; at = at->ai_next) {
        const int fd = ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                                at->ai_protocol);
        if (fd < 0) continue;
        // The server answered the first connection: a second that does not
        // come at once (a limit of connections per address) is not waited for.
        int refused = ::connect(fd, at->ai_addr, at->ai_addrlen) == 0 ? 0 : errno;
        if (refused == EINPROGRESS) {
            pollfd waiting{fd, POLLOUT, 0};
            socklen_t size = sizeof refused;
            if (::poll(&waiting, 1, static_cast<int>(kTrialPatience.count() * 1000)) <= 0 ||
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &refused, &size) != 0) {
                refused = ETIMEDOUT;
            }
        }
        if (refused != 0) {
            ::close(fd);
            continue;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        fd_ = fd;
    }
    return fd_ >= 0;
}

bool FtpCommandPipe::Send(const std::string& line) {
    if (HasLineBreak(line)) return false;
    const std::string text = line + "\r\n";
    for (size_t sent = 0; sent < text.size();) {
        const ssize_t put = ::send(fd_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        sent += static_cast<size_t>(put);
    }
    return true;
}

bool FtpCommandPipe::Reply(std::string& line, std::chrono::seconds patience) {
    // A reply is one line "NNN text", or lines from "NNN-text" to "NNN text".
    std::string code;
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const size_t end = received_.find("\r\n");
        if (end != std::string::npos) {
            line = received_.substr(0, end);
            received_.erase(0, end + 2);
            const bool coded = line.size() >= 4 && IsDigit(line[0]) && IsDigit(line[1]) &&
                               IsDigit(line[2]) && (line[3] == ' ' || line[3] == '-');
            if (!coded) continue;  // a line inside a reply of several
            if (code.empty() && line[3] == '-') {
                code = line.substr(0, 3);
                continue;
            }
            if (line[3] == ' ' && (code.empty() || line.compare(0, 3, code) == 0)) return true;
            continue;
        }
        if (Cancelled() || std::chrono::steady_clock::now() > until) return false;
        pollfd waiting{fd_, POLLIN, 0};
        if (::poll(&waiting, 1, kTickMs) <= 0) continue;
        char piece[4096];
        const ssize_t got = ::recv(fd_, piece, sizeof piece, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        received_.append(piece, static_cast<size_t>(got));
    }
}

bool FtpCommandPipe::Open() {
    if (!Connect()) return false;
    const std::chrono::seconds patience(connection_.timeoutSeconds);
    std::string line;
    do {
        if (!Reply(line, patience)) return false;
    } while (line.compare(0, 3, "120") == 0);  // "ready in a moment"
    if (line.compare(0, 3, "220") != 0) return false;
    const std::string user = connection_.user.empty() ? "anonymous" : connection_.user;
    if (!Send("USER " + user) || !Reply(line, patience)) return false;
    if (line.compare(0, 3, "331") == 0) {
        if (!Send("PASS " + connection_.password) || !Reply(line, patience)) return false;
    }
    if (line[0] != '2') return false;
    // Names go as the listing gave them: the same words as the first connection.
    if (!Send("OPTS UTF8 ON") || !Reply(line, patience)) return false;
    // Two commands together: a server that reads only one at a time stalls here.
    if (!Send("NOOP") || !Send("NOOP")) return false;
    return Reply(line, kTrialPatience) && Reply(line, kTrialPatience);
}

bool FtpCommandPipe::Ask(const std::vector<std::string>& commands,
                         std::vector<std::string>& answers) {
    answers.clear();
    const std::chrono::seconds patience(connection_.timeoutSeconds);
    size_t sent = 0;
    while (answers.size() < commands.size()) {
        while (sent < commands.size() && sent - answers.size() < kWindow) {
            if (!Send(commands[sent])) return false;
            ++sent;
        }
        std::string line;
        if (!Reply(line, patience)) return false;
        answers.push_back(std::move(line));
    }
    return true;
}

}  // namespace ravelmoor
