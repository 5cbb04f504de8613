#include "core/ftp/ServerClockStore.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "core/settings/StateFolder.h"

namespace ravelmoor {
namespace {

// Server and user as one field: a tab or a line break cannot be in a key.
std::string KeyOf(const std::string& server, const std::string& user) {
    std::string key = server + " " + user;
    for (char& c : key) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return key;
}

std::map<std::string, std::string> ReadAll(const std::string& path) {
    std::map<std::string, std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) lines[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return lines;
}

}  // namespace

std::string ServerClockStore::Path() {
    const std::string folder = StateFolder();
    return folder.empty() ? folder : folder + "/ftp-clocks";
}

ServerClock ServerClockStore::Read(const std::string& server, const std::string& user) {
    const std::string path = Path();
    if (path.empty()) return {};
    const auto lines = ReadAll(path);
    const auto found = lines.find(KeyOf(server, user));
    return found == lines.end() ? ServerClock() : ServerClock::Parse(found->second);
}

bool ServerClockStore::Write(const std::string& server, const std::string& user,
                             const ServerClock& clock) {
    const std::string path = Path();
    if (path.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    auto lines = ReadAll(path);
    const std::string text = clock.Serialise();
    std::string& kept = lines[KeyOf(server, user)];
    if (kept == text) return true;
    kept = text;
    // Written beside it and renamed, so that a reader never sees half a file.
    const std::string temporary = path + "." + std::to_string(::getpid()) + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [key, value] : lines)
            out << key << '\t' << value << '\n';
        if (!out.flush()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace ravelmoor
