#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/ftp/FtpConnection.h"

namespace ravelmoor {

// Tidies a folder text as the user typed it: white space trimmed at both ends,
// one trailing '/' removed (but "/" stays), and, when something exists at that
// path, the absolute path of it. The spelling is kept: Linux names are
// case-sensitive.
std::string NormaliseFolder(std::string_view text);

// True when `path` names an existing folder (following a link to one).
bool IsExistingFolder(const std::string& path);

// The message that refuses two local folders which are one folder under two
// names (a link, a bind mount) or of which one lies inside the other; empty
// when they are apart.
std::string FoldersOverlapMessage(const std::string& source, const std::string& target);

// The root text handed to the engine: the folder followed by one '/'.
std::string RootText(const std::string& folder);

// Finds a stored FTP connection by its exact name (every field empty when
// there is none).
using ConnectionLookup = std::function<FtpConnection(std::string_view name)>;

// Checks both sides in the order the launch does. A side written "(ftp) NAME"
// is looked up (the default logon replaces an empty user, and the directory
// gets its trailing '/') into `sourceFtp` / `targetFtp`; a local side is
// normalised in place and its record left empty. Returns the message that
// stops the launch, or an empty text.
std::string CheckCompareSides(std::string& source, std::string& target,
                              const ConnectionLookup& lookup, FtpConnection& sourceFtp,
                              FtpConnection& targetFtp);

}  // namespace ravelmoor
