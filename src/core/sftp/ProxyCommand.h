#pragma once

#include <sys/types.h>

#include <string>

namespace ravelmoor {

// A command that carries an SSH connection on its standard input and output
// (a ProxyCommand, or the ssh -W of a ProxyJump), run with /bin/sh -c. The
// connection is this end of a socket pair, so that it can be shut down like
// a TCP socket; what the command says on standard error is kept for the
// message when the connection fails. The command is ended (SIGTERM) and
// waited for when the object goes.
class ProxyCommand {
  public:
    ProxyCommand() = default;
    ~ProxyCommand();
    ProxyCommand(const ProxyCommand&) = delete;
    ProxyCommand& operator=(const ProxyCommand&) = delete;

    // Starts `command`. False, with Error() saying why, when it can not be.
    bool Start(const std::string& command);
    // This end of the connection: handed on, and closed by the new owner.
    int TakeConnection();
    // What the command has written on standard error so far, its lines
    // joined by "; " (ssh's reason: "connect to host ... port 22:
    // Connection refused"); "exited with status N" when it said nothing and
    // has ended.
    std::string Said();
    const std::string& Error() const { return error_; }
    bool Running() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
    int connection_ = -1;
    int errors_ = -1;
    std::string said_;
    std::string error_;
};

}  // namespace ravelmoor
