#include "cli/SyncCommand.h"

#include <memory>
#include <optional>
#include <string>

#include "cli/ComparisonSession.h"
#include "cli/ExitStatus.h"
#include "cli/OneWaySync.h"
#include "cli/SyncLog.h"
#include "cli/SyncRequest.h"
#include "cli/SyncTarget.h"
#include "cli/Terminal.h"
#include "cli/TerminalPrompter.h"
#include "cli/TwoWaySync.h"
#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"
#include "core/journal/RootLock.h"
#include "core/launch/MadeFolder.h"
#include "core/launch/StartSync.h"
#include "core/local/LocalFileSystem.h"
#include "core/sync/PlanEdit.h"
#include "core/sync/PlanSync.h"
#include "core/sync/SyncGuards.h"

namespace ravelmoor {
namespace {

// Says what the comparison could not read; returns whether rows were left
// out of any sync (unreadable, or names that clash by case): it can then not
// end with success.
bool SayWhatWasLeftOut(const Comparison& comparison) {
    for (const std::string& unread :
         {comparison.UnlistableFoldersWarning(), comparison.UnreadableFilesWarning()}) {
        if (!unread.empty()) Terminal::Message(unread);
    }
    return !comparison.Complete() || !comparison.CaseClashes().empty();
}

int RunBothWays(SyncRequest& request, Comparison& comparison, TerminalPrompter& prompter,
                MadeFolder& madeTarget, bool leftOut) {
    if (leftOut) Terminal::Message(kLeftOutMessage);
    madeTarget.Keep();
    TwoWayRequest twoWay = request.twoWay;
    twoWay.preview = request.preview;
    twoWay.yes = request.yes;
    twoWay.interactive = request.interactive;
    twoWay.allowMassDelete = request.allowMassDelete;
    twoWay.keepReplaced = request.keepReplaced;
    twoWay.verify = request.verify;
    twoWay.noJournal = request.noJournal;
    const int status = RunTwoWaySync(twoWay, request.compare, comparison, prompter, [&] {
        return CompareFromRequest(request.compare, comparison, prompter);
    });
    return leftOut && status == kDone ? kPartly : status;
}

// The plan of the method, or of the plan file's actions over the rows as
// they are now; nothing when a row changed since that plan was made (said,
// naming them).
std::optional<SyncPlan> PlanOfRequest(const SyncRequest& request, const Comparison& comparison) {
    if (request.planPath.empty()) {
        return PlanSync(comparison.SourceResults(), comparison.TargetResults(), request.method);
    }
    const PlanMatch match = MatchPlanFile(request.planFile.rows, comparison.SourceResults(),
                                          comparison.TargetResults());
    if (match.refused.empty()) return PlanOf(match.entries);
    std::string message = "The trees changed since the plan " + EscapeName(request.planPath) +
                          " was made; nothing was copied or deleted. Not as planned:";
    for (const std::string& row : match.refused)
        message += "\n  " + row;
    Terminal::Message(message);
    return std::nullopt;
}

}  // namespace

int RunSyncCommand(ArgumentList& args) {
    SyncRequest request;
    if (const std::optional<int> early = ReadSyncRequest(args, request)) return *early;
    // A log that can not be written stops the sync before anything is read.
    SyncLog log;
    if (!request.logPath.empty()) {
        if (const WriteOutcome opened = log.Open(request.logPath); !opened.Ok()) {
            Terminal::Message(opened.reason);
            return kFailed;
        }
    }
    MadeFolder madeTarget;
    if (const std::optional<int> early = PrepareTarget(request, madeTarget)) return *early;
    // One run per tree at a time, from before the comparison on, so that
    // what this run compares is not what another one is changing.
    SyncLocks locks;
    if (const LockOutcome locked =
            request.preview ? LockOutcome() : LockSidesOf(request.compare.job, locks);
        !locked.Ok()) {
        Terminal::Message(locked.reason);
        return kFailed;
    }
    TerminalPrompter prompter(request.yes, request.deletePermanently);
    prompter.SetInteractive(request.interactive);
    SideProvider sides(prompter, std::make_shared<LocalFileSystem>());
    Comparison comparison(sides);
    if (!CompareFromRequest(request.compare, comparison, prompter)) return kFailed;
    const bool leftOut = SayWhatWasLeftOut(comparison);
    if (const Outcome<GuardStatus> allowed = CheckProtectedFolders(request.method, comparison);
        !allowed.Ok()) {
        Terminal::Message(allowed.reason);
        return kFailed;
    }
    if (request.method == SyncMethod::TwoWay) {
        return RunBothWays(request, comparison, prompter, madeTarget, leftOut);
    }
    const std::optional<SyncPlan> plan = PlanOfRequest(request, comparison);
    if (!plan) return kFailed;
    return RunOneWaySync(request, comparison, *plan, prompter, log, madeTarget, leftOut);
}

}  // namespace ravelmoor
