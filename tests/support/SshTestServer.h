#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "core/sftp/SftpConnection.h"
#include "support/TempTree.h"

namespace ravelmoor::test {

// How the server serves SFTP.
enum class SftpServing {
    InsideSshd,         // "Subsystem sftp internal-sftp"
    InsideChroot,       // internal-sftp, the session shut in a folder of its own (needs root)
    SftpServerProgram,  // OpenSSH's /usr/lib/openssh/sftp-server
};

// A real OpenSSH server (Debian's /usr/sbin/sshd) on 127.0.0.1 and a free
// port, run as the test's own user (root too) with a fresh host key and a
// fresh user key, its SFTP subsystem inside the server unless `serving`
// says otherwise. In a chroot the session sees ChrootFolder() as "/". HOME points at a
// temp folder while the object lives, so known_hosts starts empty and the
// user's own never changes. The constructor waits until the port answers;
// the destructor stops the server and every session it started.
class SshTestServer {
  public:
    explicit SshTestServer(SftpServing serving = SftpServing::InsideSshd);
    ~SshTestServer();
    SshTestServer(const SshTestServer&) = delete;
    SshTestServer& operator=(const SshTestServer&) = delete;

    bool Running() const { return port_ > 0; }
    int Port() const { return port_; }
    // A connection logging on with the user key, to `directory`.
    SftpConnection Connection(const std::string& directory) const;
    // A second key the server does not know.
    std::string StrangerKey() const { return files_.Full("stranger"); }
    // known_hosts in the temp HOME.
    std::string KnownHosts() const { return home_.Full(".ssh/known_hosts"); }
    // The folder a chrooted session sees as "/" (owned by root, as sshd
    // wants it; its sub-folder "pub" is the session's to write in), made in
    // the test's home: sshd refuses one below a folder that others may
    // write (/tmp). Missing() says why a chroot could not be had.
    const std::string& ChrootFolder() const { return chroot_; }
    const std::string& Missing() const { return missing_; }
    // The temp HOME, where ~/.ssh/config goes.
    const std::string& Home() const { return home_.Path(); }
    // The private key the server lets log on.
    std::string UserKey() const { return files_.Full("user_key"); }
    // The server's key as a known_hosts line: "[127.0.0.1]:PORT ssh-ed25519 ...".
    std::string KnownHostsLine() const;
    // Gives the server a new host key (it is started again).
    void ChangeHostKey();
    // Stops the server and every session at once (SIGKILL), as a crash would.
    void Kill();
    // Stops (SIGSTOP) or continues every session process: a server that stalls.
    void Freeze(bool frozen);
    // Starts the server again (same host key) so that each session's SFTP
    // answers break off after `bytes` bytes: a connection dropped at a fixed
    // point, say in the middle of a listing.
    void DropAfter(size_t bytes);

  private:
    void WriteConfig(const std::string& subsystem, bool chroot = false);
    bool MakeChroot();
    void Start();
    void Signal(int signal, bool sessionsOnly);

    TempTree files_;
    TempTree home_;
    std::string chroot_;
    std::string missing_;
    std::string previousHome_;
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace ravelmoor::test
