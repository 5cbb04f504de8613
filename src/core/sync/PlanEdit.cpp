#include "core/sync/PlanEdit.h"

#include <algorithm>

#include "core/engine/CaseFold.h"
#include "core/engine/FileList.h"

namespace ravelmoor {

std::vector<PlanEntry> EntriesOf(const SyncPlan& plan) {
    std::vector<PlanEntry> entries;
    entries.reserve(plan.copyToTarget.size() + plan.copyToSource.size() +
                    plan.deleteInTarget.size());
    for (const uint32_t row : plan.copyToTarget)
        entries.push_back({row, PlanStep::CopyToTarget, true});
    for (const uint32_t row : plan.copyToSource)
        entries.push_back({row, PlanStep::CopyToSource, true});
    for (const uint32_t row : plan.deleteInTarget)
        entries.push_back({row, PlanStep::DeleteInTarget, true});
    return entries;
}

SyncPlan PlanOf(const std::vector<PlanEntry>& entries) {
    SyncPlan plan;
    std::vector<uint32_t> taken;
    taken.reserve(entries.size());
    for (const PlanEntry& entry : entries) {
        if (entry.ticked) taken.push_back(entry.row);
    }
    std::sort(taken.begin(), taken.end());
    std::vector<bool> twice(taken.size(), false);
    for (const PlanEntry& entry : entries) {
        if (!entry.ticked) continue;
        // The first ticked entry of a row holds it.
        const auto at = std::lower_bound(taken.begin(), taken.end(), entry.row);
        const auto index = static_cast<size_t>(at - taken.begin());
        if (twice[index]) continue;
        twice[index] = true;
        switch (entry.step) {
            case PlanStep::CopyToTarget:
                plan.copyToTarget.push_back(entry.row);
                break;
            case PlanStep::CopyToSource:
                plan.copyToSource.push_back(entry.row);
                break;
            case PlanStep::DeleteInTarget:
                plan.deleteInTarget.push_back(entry.row);
                break;
        }
    }
    for (std::vector<uint32_t>* list :
         {&plan.copyToTarget, &plan.copyToSource, &plan.deleteInTarget}) {
        std::sort(list->begin(), list->end());
    }
    return plan;
}

PlanStep Reversed(PlanStep step) {
    switch (step) {
        case PlanStep::CopyToTarget:
            return PlanStep::CopyToSource;
        case PlanStep::CopyToSource:
            return PlanStep::CopyToTarget;
        case PlanStep::DeleteInTarget:
            break;
    }
    return step;
}

bool Possible(PlanStep step, const FileList& source, const FileList& target, uint32_t row) {
    if (row >= source.GetSize() || row >= target.GetSize()) return false;
    // A row with an excluded side takes no part in a sync.
    if (source.ElementAt(row).excluded != 0 || target.ElementAt(row).excluded != 0) return false;
    switch (step) {
        case PlanStep::CopyToTarget:
            return !source.ElementAt(row).IsBlank();
        case PlanStep::CopyToSource:
            return !target.ElementAt(row).IsBlank();
        case PlanStep::DeleteInTarget:
            break;
    }
    return !target.ElementAt(row).IsBlank();
}

std::string ExcludeRow(FileList& source, FileList& target, uint32_t row) {
    const FileEntry& named =
        source.ElementAt(row).IsBlank() ? target.ElementAt(row) : source.ElementAt(row);
    std::string path = named.path.str();
    const bool folder = named.IsFolder();
    const std::string below = FoldCase(path) + "/";
    const size_t count = std::min(source.GetSize(), target.GetSize());
    // A folder's content follows it directly in the rows' order.
    for (size_t i = row; i < count; ++i) {
        FileEntry& s = source.ElementAt(i);
        FileEntry& t = target.ElementAt(i);
        if (i > row) {
            const std::string inner = FoldCase((s.IsBlank() ? t : s).path.str());
            if (!folder || !inner.starts_with(below)) break;
        }
        s.excluded = 1;
        t.excluded = 1;
    }
    return path;
}

}  // namespace ravelmoor
