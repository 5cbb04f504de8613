#pragma once

#include <string>

#include "ftp/FtpConnection.h"

namespace ravelmoor {

class FtpConnectionStore;

// The two sides of a comparison as the main window's launch checks them. On
// the way in, `source` and `target` are the folder box texts; on the way out
// they are the texts as checked (a local folder normalised, an FTP side as
// written), which go into the histories and back into the boxes.
struct LaunchSides {
    std::string source;
    std::string target;
    // Filled for a side written "(ftp) NAME": the stored connection, with the
    // default logon when it has no user, its directory ending with '/'.
    FtpConnection sourceFtp;
    FtpConnection targetFtp;

    // The root texts handed to the engine: the checked text with one '/'
    // after it.
    std::string SourceRoot() const;
    std::string TargetRoot() const;
};

// Checks both sides in the launch's order and returns the message that stops
// it, or an empty text: a Source FTP connection that is not stored, a local
// Source that is no folder, a second FTP side, a Target FTP connection that
// is not stored, a Target equal to the Source, a local Target that is no
// folder. The texts are normalised as far as the checks got.
std::string CheckLaunchSides(LaunchSides& sides, const FtpConnectionStore& connections);

}  // namespace ravelmoor
