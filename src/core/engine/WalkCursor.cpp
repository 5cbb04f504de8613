#include "core/engine/WalkCursor.h"

#include <cstdint>
#include <cstring>

#include "core/engine/CaseFold.h"
#include "core/engine/EntryFilter.h"
#include "core/engine/FileList.h"

namespace ravelmoor {

WalkCursor::WalkCursor(FileList& scan, const EntryFilter* filter, WalkFeed* feed)
    : scan_(scan), feed_(feed), available_(feed ? 0 : scan.GetSize()), filter_(filter) {
    if (Has(0)) KeyEntry(0, key_);
}

size_t WalkCursor::GroupSize() {
    if (!Has(at_ + 1)) return 1;
    if (nextKeyedAt_ != at_ + 1) {
        KeyEntry(at_ + 1, next_);
        nextKeyedAt_ = at_ + 1;
    }
    if (next_ != key_) return 1;
    size_t size = 2;
    while (Has(at_ + size)) {
        KeyEntry(at_ + size, spare_);
        if (spare_ != key_) break;
        ++size;
    }
    return size;
}

void WalkCursor::Advance(size_t by) {
    if (by == 0) return;
    at_ += by;
    if (!Has(at_)) return;
    if (by == 1 && nextKeyedAt_ == at_) {
        key_.swap(next_);
    } else {
        KeyEntry(at_, key_);  // after a group: a second filter test changes nothing
    }
    scan_.ReleaseBlocksBefore(at_);
}

void WalkCursor::KeyEntry(size_t at, std::string& key) {
    FileEntry& entry = scan_.ElementAt(at);
    const std::string_view folder = entry.path.Folder();
    if (folder.data() != keyedFolder_.data() || folder.size() != keyedFolder_.size()) {
        keyedFolder_ = folder;
        folderKey_.clear();
        size_t start = 0;
        while (start < folder.size()) {
            const size_t slash = folder.find('/', start);
            folderKey_.push_back(kFolderMarker);
            AppendFoldedName(folder.substr(start, slash - start), folderKey_);
            folderKey_.push_back('/');
            start = slash + 1;
        }
    }
    key.assign(folderKey_);
    if (entry.IsFolder()) key.push_back(kFolderMarker);
    AppendFoldedName(entry.path.Name(), key);
    if (filter_ != nullptr && filter_->IsExcluded(key)) entry.excluded = 1;
}

void WalkCursor::AppendFoldedName(std::string_view name, std::string& out) {
    if (std::memchr(name.data(), kFolderMarker, name.size()) == nullptr) {
        AppendFolded(name, out);
        return;
    }
    escaped_.clear();
    AppendScanName(escaped_, name);
    AppendFolded(escaped_, out);
}

}  // namespace ravelmoor
