#include "core/folders/FolderText.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace ravelmoor {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string_view ConnectionNameIn(std::string_view folderText) {
    if (DesignatesFtpFolder(folderText)) return folderText.substr(kFtpFolderPrefix.size());
    if (DesignatesSftpFolder(folderText)) return folderText.substr(kSftpFolderPrefix.size());
    return {};
}

std::string NormaliseFolder(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    std::string folder(text);
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder.empty()) return folder;

    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return folder;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(folder, error);
    if (error) return folder;
    std::string normal = absolute.lexically_normal().string();
    if (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal;
}

bool IsExistingFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsMissingPath(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

std::string RootText(const std::string& folder) {
    if (!folder.empty() && folder.back() == '/') return folder;
    return folder + '/';
}

}  // namespace ravelmoor
