#pragma once

#include <optional>
#include <vector>

#include "core/sync/PlanEdit.h"
#include "core/sync/SyncMethod.h"

namespace ravelmoor {

// The plan as the preview left it, kept by the results window until a
// synchronisation runs it: Synchronise then carries out the edited actions
// of the same method instead of a fresh plan. A new comparison comes with a
// new window, and so with no edit.
class EditedPlan {
  public:
    // Keeps `entries` for `method` when they differ from `planned` (the plan
    // the preview opened on) or rows were excluded; otherwise keeps none.
    void Keep(SyncMethod method, const std::vector<PlanEntry>& planned,
              std::vector<PlanEntry> entries, bool excluded);
    void Drop() { kept_.reset(); }

    // The kept entries of `method`, of which only those that can still be
    // carried out on the lists and whose rows still differ; none when there
    // is no edit for it.
    std::optional<std::vector<PlanEntry>> EntriesFor(SyncMethod method, const FileList& source,
                                                     const FileList& target) const;

  private:
    struct Kept {
        SyncMethod method = SyncMethod::None;
        std::vector<PlanEntry> entries;
    };
    std::optional<Kept> kept_;
};

}  // namespace ravelmoor
