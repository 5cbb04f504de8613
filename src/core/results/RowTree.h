#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ravelmoor {

class FileList;

// The folders of the paired result lists: for each row the row of the
// folder that holds it and how deep it lies, read in one pass (the rows are
// in path order, a folder before what it holds). A row whose folder has no
// row of its own hangs from the nearest folder above it that has one.
// Folder names are matched ignoring ASCII case, as the pairing matches them.
class RowTree {
  public:
    static constexpr uint32_t kNoRow = UINT32_MAX;

    void Build(const FileList& source, const FileList& target);
    // The rows read by the last Build.
    size_t size() const { return parent_.size(); }

    uint32_t Parent(uint32_t row) const { return parent_[row]; }
    // 0 directly below the roots.
    uint32_t Depth(uint32_t row) const { return depth_[row]; }
    bool IsFolder(uint32_t row) const { return folder_[row] != 0; }
    // Whether `row` is `folder` or lies below it.
    bool Within(uint32_t row, uint32_t folder) const;

  private:
    std::vector<uint32_t> parent_;
    std::vector<uint32_t> depth_;
    std::vector<uint8_t> folder_;
};

}  // namespace ravelmoor
