#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/results/RowTree.h"

namespace ravelmoor {

// The rows of the results as folders that open and close. Which folders are
// closed is kept per row; the rows shown are worked out from it, the tree
// and the rows that pass the view, in two passes over the rows.
class TreeRows {
  public:
    // Opens every folder; called for lists whose rows changed in number.
    void Reset(size_t rows);
    bool IsClosed(uint32_t row) const { return row < closed_.size() && closed_[row] != 0; }
    void SetClosed(uint32_t row, bool closed);

    // Fills `rows` with what the tree shows: each row of `passing` (ascending)
    // and the folders above it, except what lies in a closed folder; in path
    // order. Each folder's count (BelowCount) becomes the number of rows of
    // `passing` inside it, at any depth.
    void Compute(const RowTree& tree, const std::vector<uint32_t>& passing,
                 std::vector<uint32_t>& rows);
    // Of the last Compute.
    uint32_t BelowCount(uint32_t row) const { return row < below_.size() ? below_[row] : 0; }

  private:
    std::vector<uint8_t> closed_;
    std::vector<uint32_t> below_;
    std::vector<uint8_t> mark_;  // per row: passes, then shown
};

}  // namespace ravelmoor
