#pragma once

#include <QtGlobal>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/engine/FileEntry.h"
#include "core/engine/Outcome.h"
#include "core/sync/SyncMethod.h"
#include "core/sync/TwoWayActions.h"

namespace ravelmoor {

class FileList;

// English, marked for translation in the "PlanSync" context (as is the
// reason CheckPlan gives).
inline constexpr std::string_view kSelectMethodMessage =
    QT_TRANSLATE_NOOP("PlanSync", "Please select sync method.");
inline constexpr std::string_view kNothingToDoMessage =
    QT_TRANSLATE_NOOP("PlanSync", "No files or folders need to be copied or deleted.");

// The work a sync method finds in the paired result lists: row numbers, each
// list ascending, a row in at most one list.
struct SyncPlan {
    std::vector<uint32_t> copyToTarget;
    std::vector<uint32_t> copyToSource;
    std::vector<uint32_t> deleteInTarget;
    // Two-way synchronisation only: deletions in Source, renames, conflicts
    // and what its memory learns.
    TwoWayPart twoWay;

    bool Empty() const {
        return copyToTarget.empty() && copyToSource.empty() && deleteInTarget.empty() &&
               twoWay.deleteInSource.empty() && twoWay.renames.empty() && twoWay.conflicts.empty();
    }
    size_t Total() const {
        return copyToTarget.size() + copyToSource.size() + deleteInTarget.size() +
               twoWay.deleteInSource.size() + twoWay.renames.size();
    }
};

// What a method does with one row, decided by the status of its Source entry.
enum class SyncAction : uint8_t { None, CopyToTarget, CopyToSource, DeleteInTarget };
SyncAction DecideAction(EntryStatus sourceStatus, SyncMethod method);

// Plans `method` over all rows of the paired lists. A row with an excluded
// entry on either side takes no part. The plan is empty for SyncMethod::None.
SyncPlan PlanSync(const FileList& source, const FileList& target, SyncMethod method);

// Whether a sync or preview of `plan` may start. NoMethod ("Please select
// sync method.") and NothingToDo ("No files or folders need to be copied or
// deleted.") carry the message that stops it, in English.
enum class PlanStatus : uint8_t { Ready, NoMethod, NothingToDo };
Outcome<PlanStatus> CheckPlan(SyncMethod method, const SyncPlan& plan);

// The question asked before a plan is carried out:
// Please confirm that you want to "Align Source and Target".
std::string ConfirmSyncQuestion(SyncMethod method);

// The part that the `side` entry of a row plays in the plan of `method`, for
// colouring list rows.
enum class EntryRole : uint8_t { None, CopiedFrom, OverwrittenOrDeleted };
enum class ListSide : uint8_t { Source, Target };
EntryRole PlannedRole(ListSide side, const FileEntry& source, const FileEntry& target,
                      SyncMethod method);
// The same for row `row` of the paired lists.
EntryRole PlannedRole(ListSide side, const FileList& source, const FileList& target, size_t row,
                      SyncMethod method);

}  // namespace ravelmoor
