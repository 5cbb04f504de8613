#include "core/settings/FolderHistory.h"

#include <algorithm>

#include "core/engine/CaseFold.h"
#include "core/settings/SettingsStore.h"

namespace ravelmoor {

void FolderHistory::Load(const SettingsStore& store) {
    for (const std::string& name : store.ValueNames(section_))
        entries_.push_back(store.ReadString(section_, name, ""));
}

void FolderHistory::Save(SettingsStore& store) const {
    store.RemoveSection(section_);
    for (size_t i = 0; i < entries_.size(); ++i)
        store.WriteString(section_, std::to_string(i), entries_[i]);
}

void FolderHistory::AddToHistory(std::string_view text) {
    const std::string folded = FoldCase(text);
    const auto same = std::find_if(entries_.begin(), entries_.end(), [&](const std::string& entry) {
        return FoldCase(entry) == folded;
    });
    if (same != entries_.end()) entries_.erase(same);
    const size_t room = kMaxEntries - 1;
    if (entries_.size() > room) entries_.resize(room);
    entries_.insert(entries_.begin(), std::string(text));
}

}  // namespace ravelmoor
