#include "core/results/RowTree.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "core/engine/FileList.h"

namespace ravelmoor {
namespace {

char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameStart(std::string_view text, std::string_view head) {
    for (size_t i = 0; i < head.size(); ++i) {
        if (Folded(text[i]) != Folded(head[i])) return false;
    }
    return true;
}

// Whether the path `text` lies below the folder `head`, ASCII case ignored.
bool Below(std::string_view text, std::string_view head) {
    return text.size() > head.size() && text[head.size()] == '/' && SameStart(text, head);
}

// Whether the path `text` is the folder `head` or lies below it.
bool InOrBelow(std::string_view text, std::string_view head) {
    return (text.size() == head.size() && SameStart(text, head)) || Below(text, head);
}

}  // namespace

void RowTree::Build(const FileList& source, const FileList& target) {
    const size_t count = std::min(source.GetSize(), target.GetSize());
    parent_.assign(count, kNoRow);
    depth_.assign(count, 0);
    folder_.assign(count, 0);
    // The folders above the row in hand, outermost first: their whole paths.
    std::vector<std::pair<std::string, uint32_t>> open;
    const char* lastFolder = nullptr;
    uint32_t lastParent = kNoRow;
    for (size_t row = 0; row < count; ++row) {
        const FileEntry& s = source.ElementAt(row);
        const FileEntry& entry = s.IsBlank() ? target.ElementAt(row) : s;
        const std::string_view folder = entry.path.Folder();
        uint32_t parent = kNoRow;
        // Rows of one folder share its text: the first one finds the parent.
        if (folder.data() == lastFolder && !folder.empty()) {
            parent = lastParent;
        } else {
            const std::string_view holder =
                folder.empty() ? folder : folder.substr(0, folder.size() - 1);
            while (!open.empty() && !InOrBelow(holder, open.back().first))
                open.pop_back();
            if (!open.empty()) parent = open.back().second;
            lastFolder = folder.data();
            lastParent = parent;
        }
        const auto index = static_cast<uint32_t>(row);
        parent_[row] = parent;
        depth_[row] = parent == kNoRow ? 0 : depth_[parent] + 1;
        if (entry.IsFolder()) {
            folder_[row] = 1;
            std::string path(folder);
            path += entry.path.Name();
            // Rows of the folder it is in come after it only below it.
            while (!open.empty() && !Below(path, open.back().first))
                open.pop_back();
            open.emplace_back(std::move(path), index);
        }
    }
}

bool RowTree::Within(uint32_t row, uint32_t folder) const {
    for (uint32_t at = row; at != kNoRow; at = parent_[at]) {
        if (at == folder) return true;
    }
    return false;
}

}  // namespace ravelmoor
