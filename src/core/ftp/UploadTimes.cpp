#include "core/ftp/UploadTimes.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/settings/StateFolder.h"

namespace ravelmoor {
namespace {

// The state folder's "ftp-uploads/" with a file named after the server and
// user in hexadecimal digits (any byte may be in either).
std::string FileOf(const std::string& server, const std::string& user) {
    const std::string state = StateFolder();
    if (state.empty()) return {};
    const std::string folder = state + "/ftp-uploads/";
    static constexpr char kHex[] = "0123456789abcdef";
    std::string key = server;
    key += '\n';
    key += user;
    std::string name;
    for (const unsigned char c : key) {
        name.push_back(kHex[c >> 4]);
        name.push_back(kHex[c & 15]);
    }
    return folder + name.substr(0, 200);
}

}  // namespace

UploadTimes::UploadTimes(const std::string& server, const std::string& user)
    : file_(FileOf(server, user)) {}

UploadTimes::~UploadTimes() {
    Save();
}

void UploadTimes::Load() {
    if (loaded_) return;
    loaded_ = true;
    std::ifstream in(file_, std::ios::binary);
    std::string line;
    // "size serverTime span originalTime path", one upload a line; a path
    // holds no line break (FTP cannot send one).
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Upload upload;
        std::string path;
        if (fields >> upload.size >> upload.serverTime >> upload.span >> upload.originalTime &&
            fields.get() == ' ' && std::getline(fields, path) && !path.empty()) {
            uploads_[path] = upload;
        }
    }
}

void UploadTimes::Remember(const std::string& path, uint64_t size, int64_t serverTime, int64_t span,
                           int64_t originalTime) {
    Load();
    uploads_[path] = {size, serverTime, span, originalTime};
    changed_ = true;
}

void UploadTimes::Forget(const std::string& path) {
    Load();
    changed_ = uploads_.erase(path) > 0 || changed_;
}

void UploadTimes::Move(const std::string& from, const std::string& to) {
    Load();
    const auto found = uploads_.find(from);
    if (found == uploads_.end()) return;
    const Upload upload = found->second;
    uploads_.erase(found);
    uploads_[to] = upload;
    changed_ = true;
}

bool UploadTimes::OriginalTime(const std::string& path, uint64_t size, int64_t listedTime,
                               int64_t listedSpan, int64_t& originalTime) {
    Load();
    const auto found = uploads_.find(path);
    if (found == uploads_.end()) return false;
    const Upload& upload = found->second;
    // The same size, and times that can be the same second.
    if (upload.size != size || listedTime + listedSpan < upload.serverTime ||
        listedTime > upload.serverTime + upload.span) {
        return false;
    }
    originalTime = upload.originalTime;
    return true;
}

bool UploadTimes::Save() {
    if (!changed_ || file_.empty()) return !changed_;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), error);
    const std::string temporary = file_ + "." + std::to_string(::getpid()) + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const auto& [path, upload] : uploads_) {
            out << upload.size << ' ' << upload.serverTime << ' ' << upload.span << ' '
                << upload.originalTime << ' ' << path << '\n';
        }
        if (!out.flush()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), file_.c_str()) != 0) return false;
    changed_ = false;
    return true;
}

}  // namespace ravelmoor
