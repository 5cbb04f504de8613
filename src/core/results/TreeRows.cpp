#include "core/results/TreeRows.h"

#include <algorithm>

namespace ravelmoor {
namespace {

constexpr uint8_t kPasses = 1;
constexpr uint8_t kShown = 2;

}  // namespace

void TreeRows::Reset(size_t rows) {
    closed_.assign(rows, 0);
}

void TreeRows::SetClosed(uint32_t row, bool closed) {
    if (row >= closed_.size()) closed_.resize(row + 1, 0);
    closed_[row] = closed ? 1 : 0;
}

void TreeRows::Compute(const RowTree& tree, const std::vector<uint32_t>& passing,
                       std::vector<uint32_t>& rows) {
    const size_t count = tree.size();
    if (closed_.size() != count) closed_.resize(count, 0);
    below_.assign(count, 0);
    mark_.assign(count, 0);
    for (const uint32_t row : passing) {
        if (row < count) mark_[row] = kPasses;
    }
    // What each folder holds: its rows come after it, so from the end.
    for (size_t row = count; row-- > 0;) {
        const uint32_t parent = tree.Parent(static_cast<uint32_t>(row));
        if (parent != RowTree::kNoRow) below_[parent] += below_[row] + (mark_[row] & kPasses);
    }
    // What is shown: a row that passes or holds one that does, in an open
    // folder that is shown itself; its folder comes before it.
    rows.clear();
    for (size_t row = 0; row < count; ++row) {
        const auto r = static_cast<uint32_t>(row);
        if ((mark_[row] & kPasses) == 0 && below_[row] == 0) continue;
        const uint32_t parent = tree.Parent(r);
        if (parent != RowTree::kNoRow && ((mark_[parent] & kShown) == 0 || closed_[parent] != 0))
            continue;
        mark_[row] |= kShown;
        rows.push_back(r);
    }
}

}  // namespace ravelmoor
