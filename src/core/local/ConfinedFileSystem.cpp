#include "core/local/ConfinedFileSystem.h"

namespace ravelmoor {

bool ConfinedFileSystem::Below(const std::string& path, std::string_view& relative) const {
    if (path.size() <= root_.size() || path.compare(0, root_.size(), root_) != 0) return false;
    relative = std::string_view(path).substr(root_.size());
    return true;
}

bool ConfinedFileSystem::ReadFacts(const std::string& path, EntryFacts& facts) {
    std::string_view relative;
    if (!Below(path, relative)) return inner_.ReadFacts(path, facts);
    return inner_.ReadFactsBelow(root_, relative, facts);
}

std::unique_ptr<FileReader> ConfinedFileSystem::OpenForReading(const std::string& path,
                                                               uint32_t attributes) {
    std::string_view relative;
    if (!Below(path, relative)) return inner_.OpenForReading(path, attributes);
    return inner_.OpenBelow(root_, relative, attributes);
}

}  // namespace ravelmoor
