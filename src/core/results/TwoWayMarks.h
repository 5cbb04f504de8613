#pragma once

#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/sync/PlanSync.h"

namespace ravelmoor {

class FileList;

// What a two-way plan does with one row, as the results lists mark it.
enum class TwoWayMark : uint8_t {
    None,
    ToTarget,        // copied to Target
    ToSource,        // copied to Source
    DeleteInTarget,  // deleted in Target
    DeleteInSource,  // deleted in Source
    Renamed,         // renamed on the other side (or the old name it leaves)
    Conflict,        // a conflict left as it is
    KeepSource,      // a conflict settled: Source's version wins
    KeepTarget,      // a conflict settled: Target's version wins
    KeepBoth,        // a conflict settled: both versions kept
};

// The mark of each row of the paired result lists under a two-way plan,
// looked up by row as the lists draw, and which conflict of the plan a row
// is. A conflict outranks any other action on its row.
class TwoWayMarks {
  public:
    // Reads `plan` over the rows of `source` and `target`. Renames name
    // paths, not rows: the rows whose entries carry those paths are marked.
    void Index(const SyncPlan& plan, const FileList& source, const FileList& target);
    void Clear();

    TwoWayMark Of(uint32_t row) const {
        return row < marks_.size() ? marks_[row] : TwoWayMark::None;
    }
    // The index in the plan's conflicts of the conflict on `row`.
    std::optional<size_t> ConflictOf(uint32_t row) const;
    // Keeps only the conflict rows of `rows` (their order kept).
    void KeepConflicts(std::vector<uint32_t>& rows) const;
    size_t ConflictCount() const { return conflicts_.size(); }

    // The narrow column's sign: "→", "←", "✕", "↷", "⚠" (a conflict left),
    // "⇉" (both kept); "" for None. A settled conflict shows the way its
    // winner goes.
    static std::string_view Sign(TwoWayMark mark);
    // What the sign means, English, marked for translation in the
    // "TwoWayMarks" context: "Copied to Target", "Conflict: left as it is", ...
    static std::string_view Meaning(TwoWayMark mark);

  private:
    std::vector<TwoWayMark> marks_;
    std::unordered_map<uint32_t, size_t> conflicts_;
};

}  // namespace ravelmoor
