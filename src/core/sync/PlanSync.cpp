#include "core/sync/PlanSync.h"

#include <algorithm>

#include "core/engine/FileList.h"
#include "core/text/Translated.h"

namespace ravelmoor {

SyncAction DecideAction(EntryStatus sourceStatus, SyncMethod method) {
    if (method == SyncMethod::None) return SyncAction::None;
    switch (sourceStatus) {
        case EntryStatus::Newer:  // Source newer than Target
            return method == SyncMethod::Augment ? SyncAction::None : SyncAction::CopyToTarget;
        case EntryStatus::Older:  // Target newer than Source
            if (method == SyncMethod::Align) return SyncAction::CopyToSource;
            return method == SyncMethod::Force ? SyncAction::CopyToTarget : SyncAction::None;
        case EntryStatus::Unmatched:  // only in Source
            return method == SyncMethod::Refresh ? SyncAction::None : SyncAction::CopyToTarget;
        case EntryStatus::Missing:  // only in Target
            if (method == SyncMethod::Align) return SyncAction::CopyToSource;
            if (method == SyncMethod::UpdateAndPrune || method == SyncMethod::Force) {
                return SyncAction::DeleteInTarget;
            }
            return SyncAction::None;
        case EntryStatus::Unclassified:
        case EntryStatus::Matched:
            break;
    }
    return SyncAction::None;
}

SyncPlan PlanSync(const FileList& source, const FileList& target, SyncMethod method) {
    SyncPlan plan;
    if (method == SyncMethod::None) return plan;
    const size_t rows = std::min(source.GetSize(), target.GetSize());
    for (size_t row = 0; row < rows; ++row) {
        const FileEntry& s = source.ElementAt(row);
        const FileEntry& t = target.ElementAt(row);
        if (s.excluded != 0 || t.excluded != 0) continue;
        const auto number = static_cast<uint32_t>(row);
        switch (DecideAction(s.status, method)) {
            case SyncAction::CopyToTarget:
                plan.copyToTarget.push_back(number);
                break;
            case SyncAction::CopyToSource:
                plan.copyToSource.push_back(number);
                break;
            case SyncAction::DeleteInTarget:
                plan.deleteInTarget.push_back(number);
                break;
            case SyncAction::None:
                break;
        }
    }
    return plan;
}

Outcome<PlanStatus> CheckPlan(SyncMethod method, const SyncPlan& plan) {
    if (method == SyncMethod::None)
        return Outcome<PlanStatus>(PlanStatus::NoMethod, std::string(kSelectMethodMessage));
    if (plan.Empty())
        return Outcome<PlanStatus>(PlanStatus::NothingToDo, std::string(kNothingToDoMessage));
    return {};
}

std::string ConfirmSyncQuestion(SyncMethod method) {
    return FillIn(QCoreApplication::translate("PlanSync", "Please confirm that you want to \"%1\""),
                  {Translated("SyncMethod", SyncMethodText(method))});
}

EntryRole PlannedRole(ListSide side, const FileEntry& source, const FileEntry& target,
                      SyncMethod method) {
    const bool sourceSide = side == ListSide::Source;
    const FileEntry& own = sourceSide ? source : target;
    if (source.excluded != 0 || target.excluded != 0 || own.status == EntryStatus::Missing) {
        return EntryRole::None;
    }
    switch (DecideAction(source.status, method)) {
        case SyncAction::CopyToTarget:
            return sourceSide ? EntryRole::CopiedFrom : EntryRole::OverwrittenOrDeleted;
        case SyncAction::CopyToSource:
            return sourceSide ? EntryRole::OverwrittenOrDeleted : EntryRole::CopiedFrom;
        case SyncAction::DeleteInTarget:
            return sourceSide ? EntryRole::None : EntryRole::OverwrittenOrDeleted;
        case SyncAction::None:
            break;
    }
    return EntryRole::None;
}

EntryRole PlannedRole(ListSide side, const FileList& source, const FileList& target, size_t row,
                      SyncMethod method) {
    return PlannedRole(side, source.ElementAt(row), target.ElementAt(row), method);
}

}  // namespace ravelmoor
