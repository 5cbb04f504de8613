#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/sync/PlanSync.h"

namespace ravelmoor {

class FileList;

// What one action of a plan does to its row.
enum class PlanStep : uint8_t { CopyToTarget, CopyToSource, DeleteInTarget };

// One action of a plan as a person may edit it before it runs: left out
// (unticked), or a copy sent the other way.
struct PlanEntry {
    uint32_t row = 0;
    PlanStep step = PlanStep::CopyToTarget;
    bool ticked = true;

    bool operator==(const PlanEntry&) const = default;
};

// The actions of `plan` in the order the execution carries them out (copies
// to Target, copies to Source, deletions in Target), all ticked.
std::vector<PlanEntry> EntriesOf(const SyncPlan& plan);

// The plan of the ticked entries, each list in ascending row order. An entry
// whose row an earlier ticked entry already holds is left out, so that a row
// is in at most one list.
SyncPlan PlanOf(const std::vector<PlanEntry>& entries);

// A copy's step the other way; a deletion stays one.
PlanStep Reversed(PlanStep step);

// Whether `step` can be carried out on `row` of the paired lists: a copy
// needs an object on the side it copies from, a deletion one in Target.
bool Possible(PlanStep step, const FileList& source, const FileList& target, uint32_t row);

// Takes `row` of the paired lists out of every sync, as an exclude rule on
// its path would: both its entries, and for a folder the rows below it, are
// marked excluded. Returns the row's path (Source's spelling where it has one).
std::string ExcludeRow(FileList& source, FileList& target, uint32_t row);

}  // namespace ravelmoor
