#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "core/sftp/ProxyCommand.h"
#include "core/sftp/SftpConnection.h"
#include "core/sftp/SshConfig.h"

struct ssh_session_struct;
struct sftp_session_struct;

namespace ravelmoor {

class Prompter;

// How one SFTP call ended.
enum class SftpOutcome {
    Done,
    Refused,    // the server refused it: no such file or folder, no access, not allowed
    Failed,     // the connection failed, broke or stalled; nothing more will work
    Cancelled,  // the run was cancelled, the call interrupted, or the user said No
};

// What Connect does with a host key that neither known_hosts file lists.
enum class UnknownHostKey {
    Ask,     // asks the user, showing the key's SHA256 fingerprint; No is the default
    Accept,  // takes it and records it (the command line's explicit consent)
    Refuse,
};

// One SSH connection with its SFTP channel, over libssh. Connect reads what
// the user's SSH configuration says about the host (SshConfig: an alias's
// HostName, User, Port, IdentityFile, ProxyJump, UserKnownHostsFile), makes
// the TCP connection itself (or starts the ProxyJump's or ProxyCommand's
// command), so that a connection that does not answer ends within the
// timeout, checks the server's host key against ~/.ssh/known_hosts (under
// $HOME, or the configuration's file) and the system's file, logs on and
// opens the SFTP channel.
//
// Every server call is made inside a `Call`: a watchdog thread shuts the
// socket when the call has waited longer than the connection's timeout, when
// the cancel word is set or when Interrupt is called, so that no call blocks
// for longer. Such a session is broken for good. All calls but Interrupt
// come from one thread at a time.
class SftpSession {
  public:
    SftpSession(SftpConnection connection, const std::atomic<int32_t>* cancel);
    ~SftpSession();
    SftpSession(const SftpSession&) = delete;
    SftpSession& operator=(const SftpSession&) = delete;

    // Connects, checks the host key, logs on and opens the SFTP channel.
    // Anything but Done leaves ErrorText saying why (empty when the user
    // declined a host key or the call was cancelled). Nothing is stored but
    // a host key that was accepted.
    SftpOutcome Connect(Prompter& prompter, UnknownHostKey unknown);

    // The SFTP channel; valid after Connect is Done.
    sftp_session_struct* Sftp() const { return sftp_; }
    // The SSH session, for channels of its own (the listing agent's).
    ssh_session_struct* Ssh() const { return session_; }

    // Marks one server call for the watchdog while it lives.
    class Call {
      public:
        explicit Call(SftpSession& session);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

      private:
        SftpSession& session_;
    };

    // After a failed call on `what` ("listing the folder /srv/a/"): what it
    // came to, with ErrorText naming `what`, the host and the reason.
    SftpOutcome Problem(const std::string& what);
    // After a failure outside the SFTP channel (the agent's stream broke):
    // Cancelled or Failed as for Problem, the reason being `reason` unless
    // the call was cancelled or timed out. The session is broken after it.
    SftpOutcome Fail(const std::string& what, const std::string& reason);

    // After the server refused a request made outside libssh's calls (a
    // write of SftpWritePipe): Refused, with ErrorText naming `what`, the
    // host and the server's `reason`.
    SftpOutcome Refuse(const std::string& what, const std::string& reason);

    // Breaks a waiting call and fails every later one. Any thread.
    void Interrupt();
    bool Cancelled() const;
    // True once the last failure was a call that waited out the timeout.
    bool TimedOut() const { return timedOut_.load(); }
    bool Broken() const { return broken_; }

    const std::string& ErrorText() const { return error_; }
    // The connection's folder on the server, ending with '/': its directory,
    // below the folder the logon starts in unless it is absolute.
    const std::string& HomeFolder() const { return home_; }
    // The folder a relative path is taken below, ending with '/': where the
    // logon starts (the home folder itself for an absolute directory).
    const std::string& StartFolder() const { return start_; }
    // "host", or "host:port" for a port other than 22; a host the SSH
    // configuration sends elsewhere also names where: "mybox (10.0.0.5:2222)".
    std::string HostText() const;
    const SftpConnection& Connection() const { return connection_; }

  private:
    bool ConnectSocket();
    bool StartProxy();
    // The reason libssh gives, with what a proxy command said.
    std::string Reason() const;
    // Who logs on: the user given or configured, else the local user.
    std::string LogonUser() const;
    SftpOutcome CheckHostKey(Prompter& prompter, UnknownHostKey unknown);
    SftpOutcome LogOn();
    SftpOutcome OpenChannel();
    void Watch();
    void StopWatching();

    SftpConnection connection_;
    SshConfig config_;
    mutable ProxyCommand proxy_;  // Reason() reads what it said
    const std::atomic<int32_t>* cancel_;
    ssh_session_struct* session_ = nullptr;
    sftp_session_struct* sftp_ = nullptr;
    std::string error_;
    std::string home_;
    std::string start_;
    bool broken_ = false;

    // Shared with the watchdog.
    std::mutex lock_;
    std::condition_variable wake_;
    std::thread watchdog_;
    int fd_ = -1;
    bool fdHandedOn_ = false;  // to libssh, which closes it
    bool shut_ = false;
    bool stopping_ = false;
    bool inCall_ = false;
    std::chrono::steady_clock::time_point deadline_;
    std::atomic<bool> interrupted_{false};
    std::atomic<bool> timedOut_{false};
};

}  // namespace ravelmoor
