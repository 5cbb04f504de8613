#include "cli/PlannedActions.h"

#include <algorithm>

#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"
#include "core/sync/Destinations.h"
#include "core/sync/PlanFile.h"
#include "core/text/Formatting.h"

namespace ravelmoor {
namespace {

ActionOutcome OutcomeOf(ItemResult result) {
    switch (result) {
        case ItemResult::Done:
            return ActionOutcome::Done;
        case ItemResult::Declined:
            return ActionOutcome::Declined;
        case ItemResult::Failed:
        case ItemResult::Refused:
            return ActionOutcome::Failed;
        case ItemResult::Changed:
        case ItemResult::NotReached:
            break;
    }
    return ActionOutcome::Skipped;
}

std::string Counted(size_t n, const char* one, const char* many) {
    return FormatSize(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string_view OutcomeWord(ActionOutcome outcome) {
    switch (outcome) {
        case ActionOutcome::Planned:
            return "planned";
        case ActionOutcome::Done:
            return "done";
        case ActionOutcome::Skipped:
            return "skipped";
        case ActionOutcome::Failed:
            return "failed";
        case ActionOutcome::Declined:
            break;
    }
    return "declined";
}

std::string_view PlannedAction::Verb() const {
    if (deletion) return "delete";
    return replaces ? "replace" : "copy";
}

PlannedActions::PlannedActions(const Comparison& comparison, const SyncPlan& plan) {
    actions_.reserve(plan.Total());
    Add(comparison, plan.copyToTarget, ListSide::Target, false);
    toSourceStart_ = actions_.size();
    Add(comparison, plan.copyToSource, ListSide::Source, false);
    deletionsStart_ = actions_.size();
    Add(comparison, plan.deleteInTarget, ListSide::Target, true);
}

void PlannedActions::Add(const Comparison& comparison, const std::vector<uint32_t>& rows,
                         ListSide side, bool deletion) {
    const FileList& source = comparison.SourceResults();
    const FileList& target = comparison.TargetResults();
    const FileList& changed = side == ListSide::Source ? source : target;
    const FileList& from = side == ListSide::Source ? target : source;
    Destinations destinations(from, changed);
    for (const uint32_t row : rows) {
        PlannedAction action;
        action.side = side;
        action.deletion = deletion;
        action.row = row;
        const FileEntry& there = changed.ElementAt(row);
        const FileEntry& object = deletion ? there : from.ElementAt(row);
        action.kind = KindOf(object);
        action.size = object.IsFolder() ? 0 : object.size;
        action.lastWrite = object.lastWrite;
        if (deletion) {
            action.path = there.path.str();
        } else {
            action.path = destinations.For(row);
            action.replaces = !there.IsBlank() && !object.IsFolder();
            if (action.replaces) {
                action.replacedSize = there.size;
                action.replacedLastWrite = there.lastWrite;
            }
        }
        actions_.push_back(std::move(action));
    }
}

SideTotals PlannedActions::Totals(ListSide side) const {
    SideTotals totals;
    for (const PlannedAction& action : actions_) {
        if (action.side != side) continue;
        if (action.deletion) {
            ++totals.deletions;
        } else if (action.replaces) {
            ++totals.replaced;
        } else if (action.kind == 'd') {
            ++totals.newFolders;
        } else {
            ++totals.newFiles;
        }
        if (!action.deletion) totals.bytes += action.size;
    }
    return totals;
}

void PlannedActions::ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                                   std::string_view reason) {
    size_t begin = 0;
    size_t end = toSourceStart_;
    if (deletion) {
        begin = deletionsStart_;
        end = actions_.size();
    } else if (side == ListSide::Source) {
        begin = toSourceStart_;
        end = deletionsStart_;
    }
    // Each list of the plan is in ascending row order.
    const auto first = actions_.begin() + static_cast<std::ptrdiff_t>(begin);
    const auto last = actions_.begin() + static_cast<std::ptrdiff_t>(end);
    const auto found = std::lower_bound(
        first, last, row, [](const PlannedAction& action, uint32_t r) { return action.row < r; });
    if (found == last || found->row != row) return;
    found->outcome = OutcomeOf(result);
    found->reason = found->outcome == ActionOutcome::Done ? std::string() : std::string(reason);
    if (found->reason.empty() && found->outcome == ActionOutcome::Declined) {
        found->reason = "not confirmed";
    }
    for (const auto& listener : listeners_)
        listener(*found);
}

void PlannedActions::SettleRest(ActionOutcome outcome, std::string_view reason) {
    SettleRest(ListSide::Source, outcome, reason);
    SettleRest(ListSide::Target, outcome, reason);
}

void PlannedActions::SettleRest(ListSide side, ActionOutcome outcome, std::string_view reason) {
    for (PlannedAction& action : actions_) {
        if (action.side != side || action.outcome != ActionOutcome::Planned) continue;
        action.outcome = outcome;
        action.reason = reason;
    }
}

size_t PlannedActions::Count(ActionOutcome outcome) const {
    return static_cast<size_t>(std::count_if(
        actions_.begin(), actions_.end(),
        [outcome](const PlannedAction& action) { return action.outcome == outcome; }));
}

std::string SideQuestion(SyncMethod method, ListSide side, const std::string& root,
                         const SideTotals& totals, KeptIn kept, bool keepReplaced,
                         const std::string& warning) {
    std::vector<std::string> parts;
    if (totals.newFiles > 0) {
        std::string part = "copy " + Counted(totals.newFiles, "new file", "new files");
        if (totals.newFolders > 0) {
            part += " and " + Counted(totals.newFolders, "new folder", "new folders");
        }
        parts.push_back(part);
    } else if (totals.newFolders > 0) {
        parts.push_back("make " + Counted(totals.newFolders, "new folder", "new folders"));
    }
    if (totals.replaced > 0) {
        std::string part = "replace " + Counted(totals.replaced, "file", "files");
        if (keepReplaced) {
            const bool one = totals.replaced == 1;
            part += std::string(one ? " (the old version " : " (the old versions ");
            switch (kept) {
                case KeptIn::Trash:
                    part += one ? "goes to the trash)" : "go to the trash)";
                    break;
                case KeptIn::Server:
                    part += one ? "is kept on the server)" : "are kept on the server)";
                    break;
                case KeptIn::Nowhere:
                    part += one ? "is deleted permanently: there is no trash)"
                                : "are deleted permanently: there is no trash)";
                    break;
            }
        }
        parts.push_back(part);
    }
    if (totals.deletions > 0) {
        const std::string objects = Counted(totals.deletions, "object", "objects");
        switch (kept) {
            case KeptIn::Trash:
                parts.push_back("move " + objects + " to the trash");
                break;
            case KeptIn::Server:
                parts.push_back("delete " + objects + " (kept on the server)");
                break;
            case KeptIn::Nowhere:
                parts.push_back("delete " + objects + " permanently (there is no trash)");
                break;
        }
    }
    std::string question = warning.empty() ? std::string() : warning + " ";
    question += ConfirmSyncQuestion(method) + " on " +
                (side == ListSide::Source ? "Source" : "Target") + " \"" + EscapeName(root) +
                "\": ";
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) question += ", ";
        question += parts[i];
    }
    if (totals.bytes > 0 || totals.newFiles + totals.replaced > 0) {
        question += "; " + Counted(totals.bytes, "byte", "bytes") + " to copy";
    }
    return question + ".";
}

}  // namespace ravelmoor
