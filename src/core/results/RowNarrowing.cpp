#include "core/results/RowNarrowing.h"

#include <algorithm>
#include <string_view>

#include "core/engine/FileList.h"

namespace ravelmoor {
namespace {

char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A text searched for in paths, ASCII case ignored. Rows of one folder share
// its text, so the folder part is searched once for all of them.
class PathSearch {
  public:
    explicit PathSearch(std::string_view needle) : needle_(needle) {
        std::transform(needle_.begin(), needle_.end(), needle_.begin(), Folded);
        spansLevels_ = needle_.find('/') != std::string::npos;
    }

    bool Matches(const EntryPath& path) {
        if (spansLevels_) {
            whole_.clear();
            path.AppendTo(whole_);
            return Holds(whole_);
        }
        const std::string_view folder = path.Folder();
        if (folder.data() != lastFolder_ || folder.size() != lastFolderSize_) {
            lastFolder_ = folder.data();
            lastFolderSize_ = folder.size();
            folderHolds_ = Holds(folder);
        }
        return folderHolds_ || Holds(path.Name());
    }

  private:
    bool Holds(std::string_view text) const {
        return std::search(text.begin(), text.end(), needle_.begin(), needle_.end(),
                           [](char a, char b) { return Folded(a) == b; }) != text.end();
    }

    std::string needle_;
    bool spansLevels_ = false;
    std::string whole_;
    const char* lastFolder_ = nullptr;
    size_t lastFolderSize_ = 0;
    bool folderHolds_ = false;
};

}  // namespace

void NarrowRows(const FileList& source, const FileList& target, const RowTree& tree,
                const RowNarrowing& narrowing, std::vector<uint32_t>& rows) {
    if (!narrowing.Any()) return;
    PathSearch search(narrowing.text);
    const bool byFolder = narrowing.folder != RowTree::kNoRow && narrowing.folder < tree.size();
    const auto kept = std::remove_if(rows.begin(), rows.end(), [&](uint32_t row) {
        if (row >= source.GetSize() || row >= target.GetSize()) return true;
        if (byFolder && (row >= tree.size() || !tree.Within(row, narrowing.folder))) return true;
        if (narrowing.text.empty()) return false;
        const FileEntry& s = source.ElementAt(row);
        return !search.Matches(s.IsBlank() ? target.ElementAt(row).path : s.path);
    });
    rows.erase(kept, rows.end());
}

}  // namespace ravelmoor
