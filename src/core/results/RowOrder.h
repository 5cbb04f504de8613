#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/results/ResultCells.h"

namespace ravelmoor {

class FileList;

// The order the results lists are shown in: by one column of one side, up
// or down. No RowOrder at all is the path order of the paired lists.
struct RowOrder {
    ListSide side = ListSide::Source;
    ResultColumn column = ResultColumn::Name;
    bool descending = false;
    bool operator==(const RowOrder&) const = default;
};

// What a click on the header of `column` of the `side` list makes of
// `current`: that column up; up again gives down; down gives the path order.
std::optional<RowOrder> NextOrder(const std::optional<RowOrder>& current, ListSide side,
                                  ResultColumn column);

// Puts `rows` (in path order) in `order`. A row is sorted by its entry on the
// chosen side, or by its partner's where that side is Missing, so rows stay
// pairs and an only-in-one-side row sorts with what it faces. Folders sort
// before files by size and by time (they show neither). Equal keys keep path
// order in both directions; down reverses the keys.
void SortRows(const FileList& source, const FileList& target, const RowOrder& order,
              std::vector<uint32_t>& rows);

}  // namespace ravelmoor
