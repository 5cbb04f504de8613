#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/engine/Outcome.h"
#include "core/folders/FolderText.h"
#include "core/ftp/FtpConnection.h"
#include "core/sftp/SftpConnection.h"

namespace ravelmoor {

// Why a launch stops before anything is read; the outcome's reason is the
// message to show.
enum class LaunchStatus {
    Ready,
    SourceFtpNotFound,
    SourceSftpNotFound,
    SourceNotFound,
    TwoFtpSides,
    TwoRemoteSides,  // two server folders, one of them SFTP
    TargetFtpNotFound,
    TargetSftpNotFound,
    SameFolders,      // the same text
    SameFolderTwice,  // one folder under two names (a link, a bind mount)
    Nested,           // one lies inside the other
    TargetNotFound,
};
using LaunchOutcome = Outcome<LaunchStatus>;

// Refuses two local folders which are one folder under two names (a link, a
// bind mount) or of which one lies inside the other; Ready when they are
// apart.
LaunchOutcome CheckFoldersApart(const std::string& source, const std::string& target);

// Makes the folder `path` and the folders above it that are missing, as
// `mkdir -p` does. Ready when it is there afterwards; otherwise the reason
// names the folder and the system's reason ("Cannot make the folder /a/b:
// Permission denied").
LaunchOutcome MakeMissingFolder(const std::string& path);

// Finds stored connections by their exact names (an empty record when there
// is none). A lookup left empty finds nothing.
struct ConnectionLookup {
    std::function<FtpConnection(std::string_view name)> ftp;
    std::function<SftpConnection(std::string_view name)> sftp;
};

// The stored connection a side's text names: at most one of the two records
// is filled; neither for a local folder.
struct SideConnection {
    FtpConnection ftp;
    SftpConnection sftp;

    bool IsRemote() const { return !ftp.IsEmpty() || !sftp.IsEmpty(); }
};

// Checks both sides in the order the launch does. A side written "(ftp) NAME"
// is looked up (the default logon replaces an empty user, and the directory
// gets its trailing '/'), likewise one written "(sftp) NAME", into
// `sourceSide` / `targetSide`; a local side is normalised in place and its
// records left empty. Only one side may be on a server. Stops at the first
// refusal.
LaunchOutcome CheckCompareSides(std::string& source, std::string& target,
                                const ConnectionLookup& lookup, SideConnection& sourceSide,
                                SideConnection& targetSide);

}  // namespace ravelmoor
