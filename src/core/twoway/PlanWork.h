#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/engine/FileList.h"
#include "core/twoway/PairMemory.h"
#include "core/twoway/TwoWayPlan.h"

namespace ravelmoor {

constexpr uint32_t kNoRow = UINT32_MAX;

// What became of one side's object since the last sync.
enum class Change : uint8_t { None, Same, Modified, New, Deleted };

// What the plan does with one row of the paired lists.
enum class Decision : uint8_t {
    Nothing,
    ToTarget,
    ToSource,
    DeleteTarget,
    DeleteSource,
    Adopt,
    Conflict,
    Renamed,   // part of a rename: carried out by it, reconciled after it
    Absorbed,  // inside a folder deleted whole
    KeepFolder,
};

// A path of the memory that vanished from one side, and its row in the lists
// (none when it vanished from both).
struct Gone {
    MemoryRow memory;
    uint32_t row = kNoRow;
};

// The change of one side: `now` against `base` (none for a path the memory
// does not hold), within the comparison's time rules.
Change ChangeOf(const SideFacts& now, const SideFacts* base, const TwoWayInput& rules);
// The decision table: what the changes of Source (`a`) and Target (`b`)
// make of a row; `equalNow` when both sides hold the same now.
Decision Decide(Change a, Change b, bool equalNow);

// The working state of one two-way plan: the paired lists, the decision per
// row, what each side lost and gained since the last sync and the conflicts
// found. Shared by the row-by-row decisions and the search for renames.
struct PlanWork {
    PlanWork(const FileList& sourceList, const FileList& targetList, const TwoWayInput& rules,
             SyncPlan& result)
        : source(sourceList),
          target(targetList),
          input(rules),
          plan(result),
          rows(static_cast<uint32_t>(std::min(sourceList.GetSize(), targetList.GetSize()))),
          decisions(rows) {}

    const FileEntry& Entry(bool onSource, uint32_t row) const {
        return onSource ? source.ElementAt(row) : target.ElementAt(row);
    }
    static bool Present(const FileEntry& entry) {
        return !entry.IsBlank() && entry.status != EntryStatus::Missing;
    }
    // The row's path and kind, from whichever side holds it.
    const FileEntry& Named(uint32_t row) const {
        const FileEntry& s = source.ElementAt(row);
        return Present(s) ? s : target.ElementAt(row);
    }
    std::string RowPath(uint32_t row) const { return Named(row).path.str(); }
    bool RowIsFolder(uint32_t row) const { return Named(row).IsFolder(); }
    // The row after the last one below `row` (the row after it for a file).
    uint32_t SubtreeEnd(uint32_t row) const;
    // Marks `row` and every row below it.
    void MarkSubtree(uint32_t row, Decision decision) {
        const uint32_t end = SubtreeEnd(row);
        for (uint32_t r = row; r < end; ++r)
            decisions[r] = decision;
    }

    const FileList& source;
    const FileList& target;
    const TwoWayInput& input;
    SyncPlan& plan;
    uint32_t rows;
    std::vector<Decision> decisions;
    std::vector<Gone> gone[2];  // [0] Source, [1] Target
    std::vector<uint32_t> newRows[2];
    std::unordered_map<uint32_t, TwoWayConflict> conflicts;
};

}  // namespace ravelmoor
