#include "cli/SyncConfirmation.h"

#include <string>

#include "cli/PlannedActions.h"
#include "cli/SyncRequest.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "core/engine/Comparison.h"
#include "core/sync/SyncGuards.h"

namespace ravelmoor {
namespace {

// Asks once for each side that changes; a side that is not confirmed keeps
// its actions, declined. Returns the plan that is left to carry out.
SyncPlan AskEachSide(const SyncRequest& request, const Comparison& comparison, const SyncPlan& plan,
                     PlannedActions& actions, TerminalPrompter& prompter) {
    const DeletionShare deletions = CountDeletions(comparison, plan);
    SyncPlan run = plan;
    for (const ListSide side : {ListSide::Target, ListSide::Source}) {
        const SideTotals totals = actions.Totals(side);
        if (totals.Count() == 0) continue;
        std::string warning;
        if (side == ListSide::Target && deletions.IsMass()) {
            warning = MassDeletionQuestion(deletions, comparison.TargetFolder());
            constexpr std::string_view kGoOn = " Do you want to go on?";
            if (warning.ends_with(kGoOn)) warning.resize(warning.size() - kGoOn.size());
        }
        const std::string& root =
            side == ListSide::Source ? comparison.SourceRoot() : comparison.TargetRoot();
        const std::string question =
            SideQuestion(request.method, side, root, totals, request.SideKeeps(comparison, side),
                         request.keepReplaced, warning);
        if (prompter.AskYesNo(question)) continue;
        actions.SettleRest(side, ActionOutcome::Declined, "not confirmed");
        if (side == ListSide::Target) {
            run.copyToTarget.clear();
            run.deleteInTarget.clear();
        } else {
            run.copyToSource.clear();
        }
    }
    return run;
}

}  // namespace

std::optional<SyncPlan> ConfirmSync(const SyncRequest& request, const Comparison& comparison,
                                    const SyncPlan& plan, PlannedActions& actions,
                                    TerminalPrompter& prompter) {
    if (!request.yes) return AskEachSide(request, comparison, plan, actions, prompter);
    const DeletionShare deletions = CountDeletions(comparison, plan);
    if (deletions.IsMass() && !request.allowMassDelete) {
        Terminal::Message(MassDeletionQuestion(deletions, comparison.TargetFolder()) +
                          " No (add --allow-mass-delete to let it).");
        return std::nullopt;
    }
    return plan;
}

}  // namespace ravelmoor
