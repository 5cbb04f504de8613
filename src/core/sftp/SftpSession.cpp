#include "core/sftp/SftpSession.h"

#include <fcntl.h>
#include <libssh/libssh.h>
#include <libssh/sftp.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "core/engine/Prompter.h"
#include "core/engine/WindowThread.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// How often the watchdog and a TCP connection under way look at the cancel
// word: the delay between a cancel and the end of a blocked call.
constexpr std::chrono::milliseconds kTick{100};

struct AddressesDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
struct KeyDeleter {
    void operator()(ssh_key_struct* key) const { ssh_key_free(key); }
};
struct CharDeleter {
    void operator()(char* text) const { ssh_string_free_char(text); }
};

std::string HostPort(const std::string& host, int port) {
    if (port == 22) return host;
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

// "SHA256:..." of the server's key, as ssh shows it.
std::string Fingerprint(ssh_key key) {
    unsigned char* hash = nullptr;
    size_t length = 0;
    if (ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length) != SSH_OK) {
        return "(unknown)";
    }
    const std::unique_ptr<char, CharDeleter> text(
        ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length));
    ssh_clean_pubkey_hash(&hash);
    return text ? std::string(text.get()) : std::string("(unknown)");
}

}  // namespace

SftpSession::SftpSession(SftpConnection connection, const std::atomic<int32_t>* cancel)
    : connection_(std::move(connection)), cancel_(cancel) {}

SftpSession::~SftpSession() {
    StopWatching();
    if (sftp_ != nullptr) sftp_free(sftp_);
    if (session_ != nullptr && fdHandedOn_ && !broken_) ssh_disconnect(session_);
    if (session_ != nullptr) ssh_free(session_);  // closes the socket it was handed
    if (!fdHandedOn_ && fd_ >= 0) ::close(fd_);
    // proxy_ ends its command as it goes.
}

std::string SftpSession::HostText() const {
    if (config_.Host().empty()) return HostPort(connection_.host, connection_.port);
    if (config_.Host() == connection_.host) return HostPort(connection_.host, config_.Port());
    return connection_.host + " (" + HostPort(config_.Host(), config_.Port()) + ")";
}

std::string SftpSession::Reason() const {
    std::string why = ssh_get_error(session_);
    if (proxy_.Running() || !config_.ProxyCommand().empty()) {
        const std::string said = proxy_.Said();
        if (!said.empty()) {
            why += FillIn(QCoreApplication::translate("SftpSession", " (the proxy command: %1)"),
                          {said});
        }
    }
    return why;
}

bool SftpSession::Cancelled() const {
    return interrupted_.load() || (cancel_ != nullptr && cancel_->load() != 0);
}

void SftpSession::Interrupt() {
    interrupted_ = true;
    wake_.notify_all();
}

SftpSession::Call::Call(SftpSession& session) : session_(session) {
    // Every read, listing and write after the logon goes through here.
    ExpectOffWindowThread("an SFTP call");
    const std::lock_guard<std::mutex> guard(session_.lock_);
    session_.inCall_ = true;
    session_.deadline_ = std::chrono::steady_clock::now() +
                         std::chrono::seconds(session_.connection_.timeoutSeconds);
}

SftpSession::Call::~Call() {
    const std::lock_guard<std::mutex> guard(session_.lock_);
    session_.inCall_ = false;
}

void SftpSession::Watch() {
    std::unique_lock<std::mutex> guard(lock_);
    while (!stopping_) {
        wake_.wait_for(guard, kTick);
        if (stopping_ || shut_ || fd_ < 0) continue;
        const bool cancelled = Cancelled();
        const bool late = inCall_ && std::chrono::steady_clock::now() > deadline_;
        if (!cancelled && !late) continue;
        if (!cancelled) timedOut_ = true;
        // The blocked call sees the connection end and returns; libssh keeps
        // the descriptor, which stays open until the session is freed.
        ::shutdown(fd_, SHUT_RDWR);
        shut_ = true;
    }
}

void SftpSession::StopWatching() {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (watchdog_.joinable()) watchdog_.join();
}

// The TCP connection, made here rather than by libssh so that an address that
// does not answer ends within the timeout and a cancel ends the wait.
bool SftpSession::ConnectSocket() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(config_.Port());
    const int looked = ::getaddrinfo(config_.Host().c_str(), port.c_str(), &hints, &found);
    if (looked != 0) {
        error_ = FillIn(QCoreApplication::translate("SftpSession", "Cannot find the host %1: %2"),
                        {HostText(), ::gai_strerror(looked)});
        return false;
    }
    const std::unique_ptr<addrinfo, AddressesDeleter> addresses(found);
    std::string why = FillIn(QCoreApplication::translate("SftpSession", "no address"));
    for (const addrinfo* at = found; at != nullptr; at = at->ai_next) {
        const int fd = ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                                at->ai_protocol);
        if (fd < 0) continue;
        int problem = 0;
        if (::connect(fd, at->ai_addr, at->ai_addrlen) != 0) {
            problem = errno;
            const auto until =
                std::chrono::steady_clock::now() + std::chrono::seconds(connection_.timeoutSeconds);
            while (problem == EINPROGRESS || problem == EINTR) {
                if (Cancelled()) {
                    ::close(fd);
                    return false;
                }
                if (std::chrono::steady_clock::now() > until) {
                    problem = ETIMEDOUT;
                    break;
                }
                pollfd waiting{fd, POLLOUT, 0};
                if (::poll(&waiting, 1, static_cast<int>(kTick.count())) > 0) {
                    socklen_t size = sizeof problem;
                    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &problem, &size) != 0) {
                        problem = errno;
                    }
                }
            }
        }
        if (problem == 0) {
            // Requests are small and each waits for its answer: Nagle's delay
            // would hold every one of them back for an acknowledgement.
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            const std::lock_guard<std::mutex> guard(lock_);
            fd_ = fd;
            return true;
        }
        why =
            problem == ETIMEDOUT
                ? FillIn(QCoreApplication::translate("SftpSession", "no answer within %1 seconds"),
                         {std::to_string(connection_.timeoutSeconds)})
                : std::strerror(problem);
        ::close(fd);
    }
    error_ = FillIn(QCoreApplication::translate("SftpSession", "Cannot connect to %1: %2"),
                    {HostText(), why});
    return false;
}

std::string SftpSession::LogonUser() const {
    if (!config_.User().empty()) return config_.User();
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_name != nullptr ? entry->pw_name : "";
}

bool SftpSession::StartProxy() {
    if (!proxy_.Start(config_.ProxyCommand())) {
        error_ = FillIn(QCoreApplication::translate(
                            "SftpSession", "Cannot start the proxy command for %1 (%2): %3"),
                        {HostText(), config_.ProxyCommand(), proxy_.Error()});
        return false;
    }
    const std::lock_guard<std::mutex> guard(lock_);
    fd_ = proxy_.TakeConnection();
    return true;
}

SftpOutcome SftpSession::Connect(Prompter& prompter, UnknownHostKey unknown) {
    ExpectOffWindowThread("an SFTP logon");
    error_.clear();
    watchdog_ = std::thread([this] { Watch(); });
    session_ = ssh_new();
    if (session_ == nullptr) {
        error_ =
            FillIn(QCoreApplication::translate("SftpSession", "Cannot initialise SFTP connection"));
        return SftpOutcome::Failed;
    }
    config_ = SshConfig::Apply(session_, connection_);
    if (!config_.Problem().empty()) {
        error_ = config_.Problem();
        return SftpOutcome::Failed;
    }
    const bool connected = config_.ProxyCommand().empty() ? ConnectSocket() : StartProxy();
    if (!connected) return Cancelled() ? SftpOutcome::Cancelled : SftpOutcome::Failed;

    const long timeout = connection_.timeoutSeconds;
    socket_t fd = fd_;
    ssh_options_set(session_, SSH_OPTIONS_TIMEOUT, &timeout);
    ssh_options_set(session_, SSH_OPTIONS_FD, &fd);
    {
        const Call call(*this);
        fdHandedOn_ = true;
        if (ssh_connect(session_) != SSH_OK) {
            if (Cancelled()) return SftpOutcome::Cancelled;
            broken_ = true;
            const std::string why =
                TimedOut()
                    ? FillIn(QCoreApplication::translate(
                                 "SftpSession", "the server did not answer within %1 seconds"),
                             {std::to_string(connection_.timeoutSeconds)})
                    : Reason();
            error_ = FillIn(QCoreApplication::translate("SftpSession", "Cannot connect to %1: %2"),
                            {HostText(), why});
            return SftpOutcome::Failed;
        }
    }
    SftpOutcome outcome = CheckHostKey(prompter, unknown);
    if (outcome == SftpOutcome::Done) outcome = LogOn();
    if (outcome == SftpOutcome::Done) outcome = OpenChannel();
    return outcome;
}

SftpOutcome SftpSession::CheckHostKey(Prompter& prompter, UnknownHostKey unknown) {
    ssh_key_struct* raw = nullptr;
    if (ssh_get_server_publickey(session_, &raw) != SSH_OK) {
        error_ =
            FillIn(QCoreApplication::translate("SftpSession", "The server %1 showed no host key."),
                   {HostText()});
        return SftpOutcome::Failed;
    }
    const std::unique_ptr<ssh_key_struct, KeyDeleter> key(raw);
    const std::string fingerprint = Fingerprint(key.get());
    const std::string& known = config_.KnownHostsFile();
    switch (ssh_session_is_known_server(session_)) {
        case SSH_KNOWN_HOSTS_OK:
            return SftpOutcome::Done;
        case SSH_KNOWN_HOSTS_CHANGED:
        case SSH_KNOWN_HOSTS_OTHER:
            // Never taken: it is what a man in the middle looks like.
            error_ = FillIn(
                QCoreApplication::translate(
                    "SftpSession",
                    "The host key of %1 has changed: the server now shows the key %2, which is "
                    "not the one recorded for it. Someone may be intercepting the connection, or "
                    "the server was set up again. The connection is refused; if the new key is "
                    "right, remove the old one from %3 first."),
                {HostText(), fingerprint, known.empty() ? std::string("known_hosts") : known});
            return SftpOutcome::Refused;
        case SSH_KNOWN_HOSTS_UNKNOWN:
        case SSH_KNOWN_HOSTS_NOT_FOUND:
            break;
        case SSH_KNOWN_HOSTS_ERROR:
            error_ = FillIn(QCoreApplication::translate(
                                "SftpSession", "The known host keys for %1 cannot be read: %2"),
                            {HostText(), ssh_get_error(session_)});
            return SftpOutcome::Failed;
    }
    if (config_.RefusesUnknownHostKeys()) {
        error_ =
            FillIn(QCoreApplication::translate(
                       "SftpSession",
                       "The host %1 is not known (its key fingerprint is %2), and "
                       "StrictHostKeyChecking in the SSH configuration refuses a host that "
                       "is not known. The connection is refused; if the fingerprint is the "
                       "server's, add its key to %3 first."),
                   {HostText(), fingerprint, known.empty() ? std::string("known_hosts") : known});
        return SftpOutcome::Refused;
    }
    if (unknown == UnknownHostKey::Refuse) {
        error_ = FillIn(QCoreApplication::translate(
                            "SftpSession",
                            "The host %1 is not known (its key fingerprint is %2), and an unknown "
                            "host key is not accepted here. The connection is refused; if the "
                            "fingerprint is the server's, accept it once with "
                            "--accept-new-host-key."),
                        {HostText(), fingerprint});
        return SftpOutcome::Refused;
    }
    if (unknown == UnknownHostKey::Ask &&
        !prompter.AskYesNoDefaultNo(
            FillIn(QCoreApplication::translate(
                       "SftpSession",
                       "The host %1 is not known yet. Its key fingerprint is %2.\nDo you trust "
                       "this host and want to connect to it? Its key will be remembered."),
                   {HostText(), fingerprint}))) {
        return SftpOutcome::Cancelled;
    }
    if (!known.empty()) {
        // ssh keeps its folder to the user alone; libssh does not make it.
        ::mkdir(known.substr(0, known.rfind('/')).c_str(), 0700);
    }
    if (ssh_session_update_known_hosts(session_) != SSH_OK) {
        prompter.Warn(FillIn(QCoreApplication::translate(
                                 "SftpSession", "The key of %1 could not be remembered in %2: %3"),
                             {HostText(), known, ssh_get_error(session_)}));
    }
    return SftpOutcome::Done;
}

SftpOutcome SftpSession::LogOn() {
    const Call call(*this);
    int result = SSH_AUTH_ERROR;
    switch (connection_.logon) {
        case SftpLogon::Agent:
            // The agent's keys, then the configuration's IdentityFile and the
            // usual key files, as ssh tries them.
            result = ssh_userauth_publickey_auto(session_, nullptr, nullptr);
            break;
        case SftpLogon::KeyFile: {
            ssh_key_struct* raw = nullptr;
            const char* passphrase =
                connection_.secret.empty() ? nullptr : connection_.secret.c_str();
            if (ssh_pki_import_privkey_file(connection_.keyFile.c_str(), passphrase, nullptr,
                                            nullptr, &raw) != SSH_OK) {
                error_ = FillIn(QCoreApplication::translate(
                                    "SftpSession",
                                    "The key file %1 cannot be read, or its passphrase is wrong."),
                                {connection_.keyFile});
                return SftpOutcome::Refused;
            }
            const std::unique_ptr<ssh_key_struct, KeyDeleter> key(raw);
            result = ssh_userauth_publickey(session_, nullptr, key.get());
            break;
        }
        case SftpLogon::Password:
            result = ssh_userauth_password(session_, nullptr, connection_.secret.c_str());
            break;
    }
    if (result == SSH_AUTH_SUCCESS) return SftpOutcome::Done;
    if (Cancelled()) return SftpOutcome::Cancelled;
    if (result == SSH_AUTH_ERROR) {
        broken_ = true;
        error_ = TimedOut()
                     ? FillIn(QCoreApplication::translate(
                                  "SftpSession", "%1 did not answer the logon within %2 seconds."),
                              {HostText(), std::to_string(connection_.timeoutSeconds)})
                     : FillIn(QCoreApplication::translate("SftpSession",
                                                          "The logon of %1 to %2 failed: %3"),
                              {LogonUser(), HostText(), Reason()});
        return SftpOutcome::Failed;
    }
    error_ = FillIn(QCoreApplication::translate("SftpSession", "%1 refused the logon of %2: %3"),
                    {HostText(), LogonUser(), ssh_get_error(session_)});
    return SftpOutcome::Refused;
}

SftpOutcome SftpSession::OpenChannel() {
    const Call call(*this);
    sftp_ = sftp_new(session_);
    if (sftp_ == nullptr || sftp_init(sftp_) != SSH_OK) {
        if (Cancelled()) return SftpOutcome::Cancelled;
        broken_ = true;
        error_ = FillIn(
            QCoreApplication::translate("SftpSession", "The server %1 does not offer SFTP: %2"),
            {HostText(), ssh_get_error(session_)});
        return SftpOutcome::Failed;
    }
    const std::string& directory = connection_.directory;
    if (!directory.empty() && directory.front() == '/') {
        home_ = directory;
    } else {
        const std::unique_ptr<char, CharDeleter> start(sftp_canonicalize_path(sftp_, "."));
        if (!start) return Problem("finding the folder the logon starts in");
        start_ = start.get();
        if (start_.empty() || start_.back() != '/') start_ += '/';
        home_ = start_ + directory;
    }
    if (home_.empty() || home_.back() != '/') home_ += '/';
    if (start_.empty()) start_ = home_;
    return SftpOutcome::Done;
}

SftpOutcome SftpSession::Fail(const std::string& what, const std::string& reason) {
    const SftpOutcome outcome = Problem(what);
    broken_ = true;
    if (outcome == SftpOutcome::Cancelled || TimedOut()) return outcome;
    error_ = "SFTP on " + HostText() + ": " + what + " failed: " + reason;
    return SftpOutcome::Failed;
}

SftpOutcome SftpSession::Refuse(const std::string& what, const std::string& reason) {
    error_ = "SFTP on " + HostText() + ": " + what + " failed: " + reason;
    return SftpOutcome::Refused;
}

SftpOutcome SftpSession::Problem(const std::string& what) {
    if (Cancelled()) {
        broken_ = true;
        error_.clear();
        return SftpOutcome::Cancelled;
    }
    const std::string start = "SFTP on " + HostText() + ": " + what + " failed: ";
    if (TimedOut()) {
        broken_ = true;
        error_ = start + "the server did not answer for " +
                 std::to_string(connection_.timeoutSeconds) + " seconds.";
        return SftpOutcome::Failed;
    }
    const bool channelGone = sftp_ == nullptr || ssh_channel_is_closed(sftp_->channel) != 0 ||
                             ssh_channel_is_eof(sftp_->channel) != 0;
    if (broken_ || ssh_is_connected(session_) == 0 || channelGone) {
        broken_ = true;
        const char* said = ssh_get_error(session_);
        error_ = start + "the connection was lost" +
                 (said != nullptr && said[0] != '\0' ? " (" + std::string(said) + ")." : ".");
        return SftpOutcome::Failed;
    }
    switch (sftp_get_error(sftp_)) {
        case SSH_FX_NO_SUCH_FILE:
        case SSH_FX_NO_SUCH_PATH:
            error_ = start + "no such file or folder.";
            break;
        case SSH_FX_PERMISSION_DENIED:
            error_ = start + "permission denied.";
            break;
        case SSH_FX_FILE_ALREADY_EXISTS:
            error_ = start + "it exists already.";
            break;
        default:
            error_ = start + ssh_get_error(session_);
            break;
    }
    return SftpOutcome::Refused;
}

}  // namespace ravelmoor
