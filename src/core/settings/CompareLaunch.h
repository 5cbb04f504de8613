#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/engine/Outcome.h"
#include "core/ftp/FtpConnection.h"

namespace ravelmoor {

// Why a launch stops before anything is read; the outcome's reason is the
// message to show.
enum class LaunchStatus {
    Ready,
    SourceFtpNotFound,
    SourceNotFound,
    TwoFtpSides,
    TargetFtpNotFound,
    SameFolders,      // the same text
    SameFolderTwice,  // one folder under two names (a link, a bind mount)
    Nested,           // one lies inside the other
    TargetNotFound,
};
using LaunchOutcome = Outcome<LaunchStatus>;

// Tidies a folder text as the user typed it: white space trimmed at both ends,
// one trailing '/' removed (but "/" stays), and, when something exists at that
// path, the absolute path of it. The spelling is kept: Linux names are
// case-sensitive.
std::string NormaliseFolder(std::string_view text);

// True when `path` names an existing folder (following a link to one).
bool IsExistingFolder(const std::string& path);

// Refuses two local folders which are one folder under two names (a link, a
// bind mount) or of which one lies inside the other; Ready when they are
// apart.
LaunchOutcome CheckFoldersApart(const std::string& source, const std::string& target);

// The root text handed to the engine: the folder followed by one '/'.
std::string RootText(const std::string& folder);

// Finds a stored FTP connection by its exact name (every field empty when
// there is none).
using ConnectionLookup = std::function<FtpConnection(std::string_view name)>;

// Checks both sides in the order the launch does. A side written "(ftp) NAME"
// is looked up (the default logon replaces an empty user, and the directory
// gets its trailing '/') into `sourceFtp` / `targetFtp`; a local side is
// normalised in place and its record left empty. Stops at the first refusal.
LaunchOutcome CheckCompareSides(std::string& source, std::string& target,
                                const ConnectionLookup& lookup, FtpConnection& sourceFtp,
                                FtpConnection& targetFtp);

}  // namespace ravelmoor
