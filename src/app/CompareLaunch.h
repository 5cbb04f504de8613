#pragma once

#include <string>
#include <string_view>

namespace ravelmoor {

// Tidies a folder text as the user typed it: white space trimmed at both ends,
// one trailing '/' removed (but "/" stays), and, when something exists at that
// path, the absolute path of it. The spelling is kept: Linux names are
// case-sensitive.
std::string NormaliseFolder(std::string_view text);

// True when `path` names an existing folder (following a link to one).
bool IsExistingFolder(const std::string& path);

// Normalises both local folder texts in place and checks them in the order the
// launch does. Returns the message that stops the launch, or an empty text.
std::string CheckLocalFolders(std::string& source, std::string& target);

// The root text handed to the engine: the folder followed by one '/'.
std::string RootText(const std::string& folder);

}  // namespace ravelmoor
