#include "core/results/SelectionRules.h"

#include <algorithm>
#include <cstdint>

#include "core/engine/FileList.h"
#include "core/text/Formatting.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// The row of item `item`, or nothing when the item is out of date.
const uint32_t* RowOf(const std::vector<uint32_t>& visibleRows, int item) {
    if (item < 0 || static_cast<size_t>(item) >= visibleRows.size()) return nullptr;
    return &visibleRows[static_cast<size_t>(item)];
}

}  // namespace

std::vector<int> SelectedItems(std::vector<ItemRun> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const ItemRun& a, const ItemRun& b) { return a.first < b.first; });
    std::vector<int> items;
    int64_t next = INT64_MIN;  // the first item not taken yet
    for (const ItemRun& run : runs) {
        for (int64_t item = std::max<int64_t>(run.first, next); item <= run.last; ++item)
            items.push_back(static_cast<int>(item));
        next = std::max<int64_t>(next, int64_t{run.last} + 1);
    }
    return items;
}

bool Selectable(const FileEntry& entry) {
    return entry.status != EntryStatus::Missing && entry.excluded == 0;
}

std::vector<uint32_t> RowsToCopyOrDelete(ListSide clicked, const FileList& source,
                                         const FileList& target,
                                         const std::vector<uint32_t>& visibleRows,
                                         const std::vector<int>& items) {
    const FileList& list = clicked == ListSide::Source ? source : target;
    std::vector<uint32_t> rows;
    for (const int item : items) {
        const uint32_t* row = RowOf(visibleRows, item);
        if (row != nullptr && *row < list.GetSize() && Selectable(list.ElementAt(*row)))
            rows.push_back(*row);
    }
    return rows;
}

std::vector<uint32_t> RowsToVisualise(const FileList& source, const FileList& target,
                                      const std::vector<uint32_t>& visibleRows,
                                      const std::vector<int>& items) {
    std::vector<uint32_t> rows;
    const size_t count = std::min(source.GetSize(), target.GetSize());
    for (const int item : items) {
        const uint32_t* row = RowOf(visibleRows, item);
        if (row != nullptr && *row < count && Selectable(source.ElementAt(*row)) &&
            Selectable(target.ElementAt(*row))) {
            rows.push_back(*row);
        }
    }
    return rows;
}

std::string SelectionText(const FileList& list, const std::vector<uint32_t>& visibleRows,
                          const std::vector<int>& items) {
    uint64_t files = 0;
    uint64_t folders = 0;
    uint64_t bytes = 0;
    for (const int item : items) {
        const uint32_t* row = RowOf(visibleRows, item);
        if (row == nullptr || *row >= list.GetSize()) continue;
        const FileEntry& entry = list.ElementAt(*row);
        if (!Selectable(entry)) continue;
        if (entry.IsFolder()) {
            ++folders;
        } else {
            ++files;
            bytes += entry.size;
        }
    }
    return FillIn(QCoreApplication::translate(
                      "SelectionRules", "Files Selected: %1 Total Size: %2 Folders Selected: %3"),
                  {std::to_string(files), FormatSize(bytes), std::to_string(folders)});
}

}  // namespace ravelmoor
