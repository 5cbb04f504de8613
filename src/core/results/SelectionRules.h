#pragma once

#include <QtGlobal>
#include <cstdint>
#include <string>
#include <vector>

#include "core/engine/FileEntry.h"
#include "core/sync/PlanSync.h"

namespace ravelmoor {

class FileList;

// A run of selected items of a list, first to last inclusive. A list may
// report overlapping runs.
struct ItemRun {
    int first = 0;
    int last = 0;
};

// The selected items, each once, in ascending order: the order in which a
// list reports its selection.
std::vector<int> SelectedItems(std::vector<ItemRun> runs);

// A list lets an entry be selected unless it is Missing on that side or
// excluded.
bool Selectable(const FileEntry& entry);

// The rows that a manual Copy or Delete on the `clicked` list works on: the
// selected items whose entry on that side is selectable, in selection order.
std::vector<uint32_t> RowsToCopyOrDelete(ListSide clicked, const FileList& source,
                                         const FileList& target,
                                         const std::vector<uint32_t>& visibleRows,
                                         const std::vector<int>& items);

// The rows that "Visualise Differences" takes: neither side Missing or excluded.
std::vector<uint32_t> RowsToVisualise(const FileList& source, const FileList& target,
                                      const std::vector<uint32_t>& visibleRows,
                                      const std::vector<int>& items);

// The status bar's selection text before the first change of a selection.
inline constexpr const char* kNothingSelectedText =
    QT_TRANSLATE_NOOP("SelectionRules", "No objects selected");

// The status bar's selection text after a change: "Files Selected: 2 Total
// Size: 1,024 Folders Selected: 1", with zeros for an empty selection.
std::string SelectionText(const FileList& list, const std::vector<uint32_t>& visibleRows,
                          const std::vector<int>& items);

}  // namespace ravelmoor
