#include "support/TempTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace ravelmoor::test {
namespace {

void MakeParents(const std::string& file) {
    const fs::path parent = fs::path(file).parent_path();
    if (!parent.empty()) fs::create_directories(parent);
}

}  // namespace

TempTree::TempTree() {
    std::string pattern = (fs::temp_directory_path() / "ravelmoor-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempTree::~TempTree() {
    std::error_code error;
    // Folders made unreadable by a test must be opened up again to be removed.
    for (auto it = fs::recursive_directory_iterator(
             path_, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            ::chmod(it->path().c_str(), 0700);
        }
    }
    ::chmod(path_.c_str(), 0700);
    // A second pass catches folders whose content only became visible now.
    for (int pass = 0; pass < 4; ++pass) {
        for (auto it = fs::recursive_directory_iterator(path_, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->is_directory(error) && !it->is_symlink(error))
                ::chmod(it->path().c_str(), 0700);
        }
    }
    fs::remove_all(path_, error);
}

void TempTree::Write(const std::string& relative, const std::string& content, int64_t mtime) {
    const std::string full = Full(relative);
    MakeParents(full);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    SetTime(relative, mtime);
}

void TempTree::MakeFolder(const std::string& relative) {
    fs::create_directories(Full(relative));
}

void TempTree::Symlink(const std::string& relative, const std::string& target) {
    const std::string full = Full(relative);
    MakeParents(full);
    if (::symlink(target.c_str(), full.c_str()) != 0) throw std::runtime_error("symlink failed");
}

void TempTree::Fifo(const std::string& relative) {
    const std::string full = Full(relative);
    MakeParents(full);
    if (::mkfifo(full.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
}

void TempTree::SetTime(const std::string& relative, int64_t mtime, long nanoseconds) {
    timespec times[2];
    times[0].tv_sec = mtime;
    times[0].tv_nsec = nanoseconds;
    times[1] = times[0];
    if (::utimensat(AT_FDCWD, Full(relative).c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        throw std::runtime_error("utimensat failed for " + relative);
    }
}

void TempTree::Chmod(const std::string& relative, mode_t mode) {
    ::chmod(Full(relative).c_str(), mode);
}

std::string TempTree::Read(const std::string& relative) const {
    std::ifstream in(Full(relative), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::map<std::string, std::string> TempTree::Contents() const {
    std::map<std::string, std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(path_)) {
        const std::string relative = item.path().string().substr(path_.size() + 1);
        files[relative] = item.is_directory() ? "/" : Read(relative);
    }
    return files;
}

bool TempTree::Exists(const std::string& relative) const {
    struct stat st {};
    return ::lstat(Full(relative).c_str(), &st) == 0;
}

int64_t TempTree::Time(const std::string& relative) const {
    struct stat st {};
    if (::lstat(Full(relative).c_str(), &st) != 0) return -1;
    return st.st_mtim.tv_sec;
}

}  // namespace ravelmoor::test
