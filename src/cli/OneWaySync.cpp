#include "cli/OneWaySync.h"

#include <atomic>
#include <cstdio>
#include <string>

#include "cli/ExitStatus.h"
#include "cli/InterruptHandler.h"
#include "cli/PlannedActions.h"
#include "cli/SyncConfirmation.h"
#include "cli/SyncLog.h"
#include "cli/SyncProgress.h"
#include "cli/SyncReport.h"
#include "cli/SyncRequest.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "core/engine/Comparison.h"
#include "core/launch/MadeFolder.h"
#include "core/launch/StartSync.h"

namespace ravelmoor {
namespace {

// Where -v writes each action as it is done (standard error beside a JSON
// document); null without -v.
FILE* ItemisedOutput(const CompareRequest& compare) {
    if (!compare.verbose || compare.quiet) return nullptr;
    return compare.format == OutputFormat::Json ? stderr : stdout;
}

int RefuseWithoutJournal(const std::string& reason, PlannedActions& actions, SyncLog& log,
                         const SyncReport& report) {
    const std::string refused =
        reason +
        " Nothing was copied or deleted: add --no-journal to synchronise without a journal "
        "(it can then not be undone).";
    actions.SettleRest(ActionOutcome::Skipped, "no journal");
    log.End(refused);
    report.Json(false, true, refused);
    Terminal::Message(refused);
    return kFailed;
}

// Tells `sync` where its progress, outcomes and notices go, and that the
// confirmation answered its batches' own questions (deleting for good was part
// of it only on a side that keeps nothing).
void Follow(SyncExecution& sync, const SyncRequest& request, const Comparison& comparison,
            SyncProgress& progress, PlannedActions& actions, TerminalPrompter& prompter,
            FILE* itemised) {
    sync.SetProgress(&progress);
    sync.SetObserver(&actions);
    if (itemised != nullptr) {
        sync.SetVersionNotice([itemised](const std::string& text) {
            Terminal::ClearProgress();
            std::fprintf(itemised, "%s\n", text.c_str());
        });
    }
    sync.SetBatchHooks(
        [&request, &comparison, &prompter](ListSide side) {
            prompter.SetConfirmed(true, request.SideKeeps(comparison, side) == KeptIn::Nowhere);
        },
        {});
}

int StatusOf(const SyncEnd& end, const PlannedActions& actions) {
    if (end.stopped) return kFailed;
    return end.tally.notDone > 0 || actions.Count(ActionOutcome::Declined) > 0 ||
                   !end.journalProblem.empty()
               ? kPartly
               : kDone;
}

int CarryOut(Comparison& comparison, const SyncPlan& run, PlannedActions& actions,
             TerminalPrompter& prompter, const SyncRequest& request, SyncLog& log) {
    std::atomic<int32_t> cancel{0};
    const InterruptHandler interrupts(cancel);
    FILE* itemised = ItemisedOutput(request.compare);
    SyncProgress progress(actions, itemised);
    log.Follow(actions);
    const SyncReport report{request, comparison, actions};
    // No journal, no sync: what it changed could not be undone. Only the
    // person's own word lets it go on without one.
    const SyncStart start = StartSync(comparison,
                                      {request.method, run, request.keepReplaced, request.verify,
                                       request.noJournal, request.Keeping()},
                                      prompter);
    if (!start.outcome.Ok())
        return RefuseWithoutJournal(start.outcome.reason, actions, log, report);
    SyncExecution& sync = *start.run;
    sync.SetCancelWord(&cancel);
    Follow(sync, request, comparison, progress, actions, prompter, itemised);
    sync.Run();
    Terminal::ClearProgress();
    const SyncEnd& end = sync.End();
    actions.SettleRest(ActionOutcome::Skipped, "the sync was stopped");
    log.End(end.summary);
    report.Done(end);
    return StatusOf(end, actions);
}

}  // namespace

int RunOneWaySync(const SyncRequest& request, Comparison& comparison, const SyncPlan& plan,
                  TerminalPrompter& prompter, SyncLog& log, MadeFolder& madeTarget, bool leftOut) {
    PlannedActions actions(comparison, plan);
    const SyncReport report{request, comparison, actions};
    if (const Outcome<PlanStatus> ready = CheckPlan(request.method, plan); !ready.Ok()) {
        madeTarget.Keep();  // asked for, even with nothing to copy into it
        report.NothingToDo(ready.reason, log);
        if (leftOut) Terminal::Message(kLeftOutMessage);
        return leftOut ? kPartly : kDone;
    }
    if (request.preview) {
        report.DryRun(log);
        return kPartly;
    }
    const std::optional<SyncPlan> run = ConfirmSync(request, comparison, plan, actions, prompter);
    if (!run) return kFailed;
    log.Start(comparison, SyncMethodWord(request.method), /*dryRun=*/false);
    if (run->Empty()) {
        for (const PlannedAction& action : actions.All())
            log.Action(action);
        const std::string_view nothing = "Nothing was copied or deleted.";
        log.End(nothing);
        report.Json(false, false, nothing);
        Terminal::Message(nothing);
        return kFailed;
    }
    // What a side that was not confirmed keeps is recorded first.
    for (const PlannedAction& action : actions.All()) {
        if (action.outcome == ActionOutcome::Declined) log.Action(action);
    }
    // The comparison has closed its server connection; the side opens a new one
    // for the copies and deletions.
    madeTarget.Keep();
    const int status = CarryOut(comparison, *run, actions, prompter, request, log);
    if (leftOut && status == kDone) {
        Terminal::Message(kLeftOutMessage);
        return kPartly;
    }
    return status;
}

}  // namespace ravelmoor
