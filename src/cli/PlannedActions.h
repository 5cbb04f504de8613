#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/sync/PlanSync.h"
#include "core/sync/RowOperations.h"

namespace ravelmoor {

class Comparison;

// What became of a planned action. Planned: not carried out (a dry run, or
// not settled yet); Skipped: left alone (changed since the comparison, or
// not reached after a cancel); Declined: the user said No.
enum class ActionOutcome : uint8_t { Planned, Done, Skipped, Failed, Declined };
std::string_view OutcomeWord(ActionOutcome outcome);

// One copy or deletion of a sync plan, with what the comparison saw of its
// object, and, once carried out, its outcome and the reason for it.
struct PlannedAction {
    ListSide side = ListSide::Target;  // the side it changes
    bool deletion = false;
    bool replaces = false;  // a copy over an existing object
    char kind = 'f';        // 'f' file, 'd' folder, 'L' symbolic link
    uint32_t row = 0;
    std::string path;       // below the changed side's root, in that side's spelling
    uint64_t size = 0;      // of the object copied or deleted
    int64_t lastWrite = 0;  // seconds since 1970-01-01 UTC
    uint64_t replacedSize = 0;
    int64_t replacedLastWrite = 0;
    ActionOutcome outcome = ActionOutcome::Planned;
    std::string reason;

    // "copy", "replace" or "delete".
    std::string_view Verb() const;
};

// What a side is about to go through, for its confirmation.
struct SideTotals {
    size_t newFiles = 0;  // files and symbolic links
    size_t newFolders = 0;
    size_t replaced = 0;
    size_t deletions = 0;
    uint64_t bytes = 0;  // to be copied
    size_t Count() const { return newFiles + newFolders + replaced + deletions; }
};

// The actions of a plan in its order (copies to Target, copies to Source,
// deletions in Target), taken from the compared rows before anything
// changes. As the observer of the sync it records each action's outcome and
// passes the settled action on to the listeners.
class PlannedActions : public SyncObserver {
  public:
    PlannedActions(const Comparison& comparison, const SyncPlan& plan);

    const std::vector<PlannedAction>& All() const { return actions_; }
    SideTotals Totals(ListSide side) const;
    // Called with each action as it is settled.
    void Listen(std::function<void(const PlannedAction&)> listener) {
        listeners_.push_back(std::move(listener));
    }

    void ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                       std::string_view reason) override;
    // Settles every action of `side` that is still planned (the whole plan
    // with both sides), without telling the listeners.
    void SettleRest(ActionOutcome outcome, std::string_view reason);
    void SettleRest(ListSide side, ActionOutcome outcome, std::string_view reason);
    // How many actions ended with `outcome`.
    size_t Count(ActionOutcome outcome) const;

  private:
    void Add(const Comparison& comparison, const std::vector<uint32_t>& rows, ListSide side,
             bool deletion);

    std::vector<PlannedAction> actions_;
    // Where each list of the plan starts in actions_, in the plan's order.
    size_t toSourceStart_ = 0;
    size_t deletionsStart_ = 0;
    std::vector<std::function<void(const PlannedAction&)>> listeners_;
};

// The one question asked for a side before it is changed: the method, the
// side and its root, what is copied, replaced and deleted there and how many
// bytes go; `kept` says where deletions and replaced files go (the trash,
// the server's versions folder, or nowhere: gone for good), `keepReplaced`
// that replaced files are kept there. `warning`, when given, comes first (the
// mass-deletion warning).
std::string SideQuestion(SyncMethod method, ListSide side, const std::string& root,
                         const SideTotals& totals, KeptIn kept, bool keepReplaced,
                         const std::string& warning);

}  // namespace ravelmoor
