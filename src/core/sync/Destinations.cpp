#include "core/sync/Destinations.h"

#include "core/engine/FileList.h"

namespace ravelmoor {

size_t Destinations::ParentRow(size_t row) {
    const std::string_view folder = from_.ElementAt(row).path.Folder();
    if (folder.empty()) return kNoRow;
    if (!indexed_) {
        // Built once per batch: finding parents by scanning back from each row
        // would be quadratic in a large folder.
        indexed_ = true;
        for (size_t i = 0; i < from_.GetSize(); ++i) {
            const FileEntry& entry = from_.ElementAt(i);
            if (entry.IsFolder()) folderRows_.emplace(entry.path.str(), static_cast<uint32_t>(i));
        }
    }
    const auto found = folderRows_.find(std::string(folder.substr(0, folder.size() - 1)));
    return found == folderRows_.end() ? kNoRow : found->second;
}

std::string Destinations::For(size_t row) {
    const FileEntry& to = to_.ElementAt(row);
    if (!to.IsBlank()) return to.path.str();
    const EntryPath& path = from_.ElementAt(row).path;
    const size_t parent = ParentRow(row);
    if (parent == kNoRow) return path.str();

    auto cached = folderDestinations_.find(parent);
    if (cached == folderDestinations_.end()) {
        cached = folderDestinations_.emplace(parent, For(parent)).first;
    }
    return std::string(cached->second).append("/").append(path.Name());
}

}  // namespace ravelmoor
