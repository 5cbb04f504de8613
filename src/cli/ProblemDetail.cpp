#include "cli/ProblemDetail.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ravelmoor {
namespace {

std::string ErrorText(int error) {
    return std::strerror(error);
}

// Opens `path` with `flags` and closes it again; the errno of a failure, or 0.
int OpenError(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

}  // namespace

std::string WithSubject(std::string_view message, std::string_view subject,
                        std::string_view reason) {
    if (!message.empty() && message.back() == '.') message.remove_suffix(1);
    std::string text(message);
    text.append(": ").append(subject);
    if (!reason.empty()) text.append(" (").append(reason).append(")");
    return text;
}

std::string FolderReason(const std::string& path) {
    const int error = OpenError(path, O_RDONLY | O_DIRECTORY);
    return error == 0 ? std::string() : ErrorText(error);
}

std::string ReadReason(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return ErrorText(EISDIR);
    const int error = OpenError(path, O_RDONLY);
    return error == 0 ? std::string() : ErrorText(error);
}

std::string WriteReason(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return ErrorText(EISDIR);
    // The file is written beside its final name and renamed, so the folder
    // must take a new file.
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int error = OpenError(folder, O_RDONLY | O_DIRECTORY);
    if (error != 0) return ErrorText(error);
    if (::access(folder.c_str(), W_OK) != 0) return ErrorText(errno);
    return {};
}

}  // namespace ravelmoor
