#pragma once

#include <string>
#include <string_view>

#include "core/sync/PlanSync.h"

namespace ravelmoor {

class FileList;

// Settles conflict `index` of `plan` as `how` says, taking back what an
// earlier settlement of it planned: the kept version is copied over the other
// (KeepBoth: the other, on the loser's side, stays beside it under a conflict
// name made with `stamp`). A conflict of names (renamed apart) is settled by
// renaming the other side alike, or with KeepBoth by copying both names across.
void SettleConflict(SyncPlan& plan, size_t index, Settlement how, bool loserIsSource,
                    const FileList& source, const FileList& target, std::string_view stamp);

// The name a conflict's loser on `sourceSide` is kept under, beside the
// winner: "NAME.conflict-source-YYYYMMDD-HHMMSS.EXT" (the extension kept).
std::string ConflictCopyName(std::string_view path, bool sourceSide, std::string_view stamp);

}  // namespace ravelmoor
