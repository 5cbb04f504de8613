#include "gui/results/EditedPlan.h"

#include "core/engine/FileList.h"

namespace ravelmoor {

void EditedPlan::Keep(SyncMethod method, const std::vector<PlanEntry>& planned,
                      std::vector<PlanEntry> entries, bool excluded) {
    if (entries == planned && !excluded) {
        kept_.reset();
        return;
    }
    kept_ = Kept{method, std::move(entries)};
}

std::optional<std::vector<PlanEntry>> EditedPlan::EntriesFor(SyncMethod method,
                                                             const FileList& source,
                                                             const FileList& target) const {
    if (!kept_ || kept_->method != method) return std::nullopt;
    // What was done to the rows since (a copy or a deletion from the context
    // menu) may have taken an action's object away, or made its row agree.
    std::vector<PlanEntry> entries;
    entries.reserve(kept_->entries.size());
    for (const PlanEntry& entry : kept_->entries) {
        if (Possible(entry.step, source, target, entry.row) &&
            source.ElementAt(entry.row).status != EntryStatus::Matched) {
            entries.push_back(entry);
        }
    }
    return entries;
}

}  // namespace ravelmoor
