#pragma once

#include <string>

#include "core/ftp/ServerClock.h"

namespace ravelmoor {

// What the probes found of each FTP server's clock, kept for display (the
// command line's `ftp list -v`, the FTP Connections dialog) between runs:
// one line per server and user in "ftp-clocks" of the state folder
// ($XDG_STATE_HOME/ravelmoor, else ~/.local/state/ravelmoor). Every run
// that can write probes again, so what is kept is what the last one found.
class ServerClockStore {
  public:
    // The clock last found for `user` on `server`; unknown when none was.
    static ServerClock Read(const std::string& server, const std::string& user);
    // Keeps `clock` for them. False when the file could not be written (a
    // display value: nothing depends on it).
    static bool Write(const std::string& server, const std::string& user, const ServerClock& clock);
    // The file's path; empty when neither XDG_STATE_HOME nor HOME is set.
    static std::string Path();
};

}  // namespace ravelmoor
