#pragma once

#include <string>

#include "core/sftp/SftpConnection.h"

struct ssh_session_struct;

namespace ravelmoor {

// What the user's SSH configuration (~/.ssh/config, then the system's
// /etc/ssh/ssh_config, the first value of each option winning) says about the
// host of one connection, set into the libssh session that connects. The
// connection's own values go over it: a user name, a port other than 22 (22
// is the stored default, so a host's Port in the configuration applies), a
// key file. So a host written as an alias of the configuration gets its
// HostName, User, Port, IdentityFile (tried after the SSH agent's keys when
// the connection logs on by agent), ProxyJump or ProxyCommand and
// UserKnownHostsFile; StrictHostKeyChecking only ever makes the check
// stricter (`yes`: a host key not known yet is refused, never asked about).
//
// The files are read as OpenSSH reads them, by OpenSSH itself (`ssh -G`
// prints what applies to a host, without connecting). libssh 0.10's own
// parser differs where configurations commonly rely on OpenSSH's reading
// (a negated pattern, "Host * !nas", matches nas; the Host lines after a
// HostName are matched against the new name; StrictHostKeyChecking can not
// be asked back), so it reads the files only where ssh is not installed.
//
// "~" is $HOME here, as for the rest of the program (OpenSSH and libssh take
// the home folder of the user database). Where $HOME is not that folder, the
// ssh that reads the configuration, or reaches a ProxyJump host, is told to
// read $HOME's (-F), as OpenSSH passes its own -F on to a jump.
class SshConfig {
  public:
    // $HOME, or the user database's home folder when it is not set.
    static std::string UserHome();

    // Reads the configuration into `session` (fresh from ssh_new) for
    // `connection`, sets the connection's own values over it, and returns
    // what the connection goes to. A file that libssh can not read is a
    // Problem() naming it.
    static SshConfig Apply(ssh_session_struct* session, const SftpConnection& connection);

    // The host to connect to (HostName, or the host as given) and its port.
    const std::string& Host() const { return host_; }
    int Port() const { return port_; }
    // The user logging on (empty: the local user's name, as libssh takes it).
    const std::string& User() const { return user_; }
    // The command whose standard input and output carry the connection
    // (ProxyJump, ProxyCommand), its %h, %p, %r, %n, %d, %u and %% filled
    // in; empty when the connection is made directly.
    const std::string& ProxyCommand() const { return proxyCommand_; }
    // The known_hosts file host keys are checked against and remembered in.
    const std::string& KnownHostsFile() const { return knownHosts_; }
    // StrictHostKeyChecking says yes: a host key not known yet is refused.
    bool RefusesUnknownHostKeys() const { return refusesUnknown_; }
    // Why the configuration could not be used; empty when it could.
    const std::string& Problem() const { return problem_; }

  private:
    std::string host_;
    int port_ = 22;
    std::string user_;
    std::string proxyCommand_;
    std::string knownHosts_;
    bool refusesUnknown_ = false;
    std::string problem_;
};

}  // namespace ravelmoor
