#include "core/journal/JournalStore.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/local/BelowRoot.h"

namespace ravelmoor {
namespace {

constexpr std::string_view kSuffix = ".journal";

}  // namespace

std::string JournalStore::StateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/ravelmoor";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/.local/state/ravelmoor";
}

std::string JournalStore::Folder() {
    const std::string state = StateFolder();
    return state.empty() ? state : state + "/journal";
}

std::vector<std::string> JournalStore::Ids() {
    std::vector<std::string> ids;
    const std::string folder = Folder();
    std::error_code error;
    if (folder.empty()) return ids;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > kSuffix.size() && name.ends_with(kSuffix) && name[0] != '.') {
            ids.push_back(name.substr(0, name.size() - kSuffix.size()));
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::string JournalStore::PathOf(const std::string& id) {
    return Folder() + "/" + id + std::string(kSuffix);
}

std::string JournalStore::IdToUndo() {
    const std::vector<std::string> ids = Ids();
    if (ids.empty()) return {};
    SyncJournal last;
    constexpr std::string_view kUndo = "undo ";
    if (Read(ids.back(), last).Ok() && last.header.method.starts_with(kUndo) &&
        (!last.finished || last.partial)) {
        std::string undoing = last.header.method.substr(kUndo.size());
        if (std::find(ids.begin(), ids.end(), undoing) != ids.end()) return undoing;
    }
    return ids.back();
}

JournalOutcome JournalStore::Read(const std::string& id, SyncJournal& journal) {
    journal = SyncJournal();
    journal.id = id;
    const std::string path = PathOf(id);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int why = errno;
        return JournalOutcome(JournalStatus::Unreadable,
                              "Can not read the journal \"" + path +
                                  "\": " + ErrorText(why != 0 ? why : ENOENT) + ".");
    }
    std::ostringstream text;
    text << in.rdbuf();
    journal_text::Parse(text.str(), journal);
    return {};
}

void JournalStore::Prune(int64_t now, size_t keep) {
    std::vector<std::string> ids = Ids();
    for (size_t i = 0; i < ids.size(); ++i) {
        const std::string path = PathOf(ids[i]);
        struct stat st {};
        const bool old = ::stat(path.c_str(), &st) == 0 && now - st.st_mtime > kKeepSeconds;
        if (old || ids.size() - i > keep) ::unlink(path.c_str());
    }
}

}  // namespace ravelmoor
