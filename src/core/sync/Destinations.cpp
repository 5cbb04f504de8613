#include "core/sync/Destinations.h"

#include "core/engine/FileList.h"

namespace ravelmoor {

size_t Destinations::ParentRow(size_t row) {
    const std::string_view path = from_.ElementAt(row).path.view();
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return kNoRow;
    if (!indexed_) {
        // Built once per batch: finding parents by scanning back from each row
        // would be quadratic in a large folder.
        indexed_ = true;
        for (size_t i = 0; i < from_.GetSize(); ++i) {
            const FileEntry& entry = from_.ElementAt(i);
            if (entry.IsFolder()) folderRows_.emplace(entry.path.view(), static_cast<uint32_t>(i));
        }
    }
    const auto found = folderRows_.find(path.substr(0, slash));
    return found == folderRows_.end() ? kNoRow : found->second;
}

std::string Destinations::For(size_t row) {
    const FileEntry& to = to_.ElementAt(row);
    if (!to.IsBlank()) return to.path.str();
    const std::string_view path = from_.ElementAt(row).path.view();
    const size_t parent = ParentRow(row);
    if (parent == kNoRow) return std::string(path);

    auto cached = folderDestinations_.find(parent);
    if (cached == folderDestinations_.end()) {
        cached = folderDestinations_.emplace(parent, For(parent)).first;
    }
    const std::string_view name = path.substr(path.rfind('/') + 1);
    return std::string(cached->second).append("/").append(name);
}

}  // namespace ravelmoor
