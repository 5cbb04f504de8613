#include "core/results/RowOrder.h"

#include <algorithm>
#include <utility>

#include "core/engine/FileList.h"

namespace ravelmoor {
namespace {

// Keys are unsigned, so that a signed time keeps its order: its sign bit flipped.
uint64_t TimeKey(int64_t time) {
    return static_cast<uint64_t>(time) ^ (uint64_t{1} << 63);
}

uint64_t KeyOf(const FileEntry& entry, ResultColumn column) {
    switch (column) {
        case ResultColumn::Status:
            return static_cast<uint64_t>(IconOf(entry));
        case ResultColumn::Size:
            return entry.IsFolder() ? 0 : entry.size + 1;
        case ResultColumn::Timestamp:
            return entry.IsFolder() ? 0 : TimeKey(entry.lastWrite) | 1;
        case ResultColumn::Name:
            break;
    }
    return 0;
}

}  // namespace

std::optional<RowOrder> NextOrder(const std::optional<RowOrder>& current, ListSide side,
                                  ResultColumn column) {
    if (!current || current->side != side || current->column != column)
        return RowOrder{side, column, false};
    if (!current->descending) return RowOrder{side, column, true};
    return std::nullopt;
}

void SortRows(const FileList& source, const FileList& target, const RowOrder& order,
              std::vector<uint32_t>& rows) {
    // Path order is the order of the rows themselves.
    if (order.column == ResultColumn::Name) {
        std::sort(rows.begin(), rows.end());
        if (order.descending) std::reverse(rows.begin(), rows.end());
        return;
    }
    const FileList& chosen = order.side == ListSide::Source ? source : target;
    const FileList& partner = order.side == ListSide::Source ? target : source;
    std::vector<std::pair<uint64_t, uint32_t>> keyed;
    keyed.reserve(rows.size());
    for (const uint32_t row : rows) {
        const FileEntry& own = chosen.ElementAt(row);
        const FileEntry& entry = own.status == EntryStatus::Missing ? partner.ElementAt(row) : own;
        keyed.emplace_back(KeyOf(entry, order.column), row);
    }
    // Rows are unique, so comparing (key, row) pairs is a stable order.
    if (order.descending) {
        std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        });
    } else {
        std::sort(keyed.begin(), keyed.end());
    }
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
}

}  // namespace ravelmoor
