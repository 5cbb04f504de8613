#pragma once

#include <string>
#include <string_view>

namespace ravelmoor {

// What a folder box holds, read without the stores or the launch: a local
// path to tidy and check, or "(ftp) NAME" / "(sftp) NAME" naming a stored
// connection. Settings files, the launch and the results all read folder
// texts, so these sit below all of them.

// A folder box text designates an FTP folder when it starts with exactly this
// (compared byte for byte); the rest of the text is a connection name.
inline constexpr std::string_view kFtpFolderPrefix = "(ftp) ";
inline bool DesignatesFtpFolder(std::string_view folderText) {
    return folderText.substr(0, kFtpFolderPrefix.size()) == kFtpFolderPrefix;
}

// A folder box text designates an SFTP folder when it starts with exactly
// this (compared byte for byte); the rest of the text is a connection name.
inline constexpr std::string_view kSftpFolderPrefix = "(sftp) ";
inline bool DesignatesSftpFolder(std::string_view folderText) {
    return folderText.substr(0, kSftpFolderPrefix.size()) == kSftpFolderPrefix;
}

// Whether a folder box text names a folder on a server through a stored
// connection ("(ftp) NAME" or "(sftp) NAME") rather than a local path.
inline bool DesignatesRemoteFolder(std::string_view folderText) {
    return DesignatesFtpFolder(folderText) || DesignatesSftpFolder(folderText);
}

// The connection name a remote folder text holds (the text after its
// prefix, as it is); empty for a local folder text.
std::string_view ConnectionNameIn(std::string_view folderText);

// Tidies a folder text as the user typed it: white space trimmed at both ends,
// one trailing '/' removed (but "/" stays), and, when something exists at that
// path, the absolute path of it. The spelling is kept: Linux names are
// case-sensitive.
std::string NormaliseFolder(std::string_view text);

// True when `path` names an existing folder (following a link to one).
bool IsExistingFolder(const std::string& path);

// True when nothing at all is at `path` (not even a file or a broken link):
// a folder that can be made.
bool IsMissingPath(const std::string& path);

// The root text handed to the engine: the folder followed by one '/'.
std::string RootText(const std::string& folder);

}  // namespace ravelmoor
