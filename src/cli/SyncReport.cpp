#include "cli/SyncReport.h"

#include <cstdio>
#include <string>

#include "cli/JsonOutput.h"
#include "cli/JsonStream.h"
#include "cli/PlannedActions.h"
#include "cli/SyncLog.h"
#include "cli/SyncRequest.h"
#include "cli/Terminal.h"
#include "core/engine/Comparison.h"
#include "core/launch/StartSync.h"

namespace ravelmoor {

PlanWording SyncReport::Wording() const {
    return {request_.SideKeeps(comparison_, ListSide::Target),
            request_.SideKeeps(comparison_, ListSide::Source), request_.keepReplaced};
}

void SyncReport::Json(bool dryRun, bool stopped, std::string_view message) const {
    if (request_.compare.format != OutputFormat::Json || request_.compare.quiet) return;
    JsonStream document(stdout);
    document.Text() = JsonDocumentStart("ravelmoor-sync", comparison_);
    AppendSyncActions(document, comparison_, SyncMethodWord(request_.method), actions_, dryRun,
                      stopped);
    if (!message.empty()) {
        document.Text() += ",\"message\":";
        AppendJsonString(document.Text(), message);
    }
    document.Text().push_back('}');
    document.End();
}

void SyncReport::NothingToDo(std::string_view problem, SyncLog& log) const {
    log.Start(comparison_, SyncMethodWord(request_.method), request_.preview);
    log.End(problem);
    Json(request_.preview, false, problem);
    if (!request_.compare.quiet && request_.compare.format != OutputFormat::Json) {
        std::printf("%s\n", std::string(problem).c_str());
    }
}

void SyncReport::DryRun(SyncLog& log) const {
    log.Start(comparison_, SyncMethodWord(request_.method), /*dryRun=*/true);
    for (const PlannedAction& action : actions_.All())
        log.Action(action);
    log.End("Dry run: nothing was copied or deleted.");
    Json(/*dryRun=*/true, false, {});
    const CompareRequest& compare = request_.compare;
    if (compare.quiet || compare.format == OutputFormat::Json) return;
    const PlanWording wording = Wording();
    PrintActions(actions_, wording, compare.format, compare.verbose, stdout);
    const std::string summary = DryRunSummary(actions_, wording);
    if (compare.format == OutputFormat::Text) {
        std::printf("%s\n", summary.c_str());
    } else {
        Terminal::FlushOutput();
        Terminal::Message(summary);
    }
}

void SyncReport::Done(const SyncEnd& end) const {
    if (!end.journalBroke.empty()) {
        Terminal::Message(end.journalProblem +
                          " The synchronisation stopped before its next change; what it did can "
                          "be undone.");
    } else if (!end.journalProblem.empty()) {
        Terminal::Message(end.journalProblem + " The synchronisation can not be undone in full.");
    }
    const CompareRequest& compare = request_.compare;
    // What was done, not the comparison as it stands now: that is one compare away.
    if (!compare.quiet && compare.format == OutputFormat::Tsv) {
        PrintActions(actions_, Wording(), OutputFormat::Tsv, false, stdout);
    }
    Json(false, end.stopped, {});
    if (compare.quiet) {
        // Errors only: what was not done has been said as it happened.
    } else if (compare.format == OutputFormat::Text) {
        std::printf("%s\n", end.summary.c_str());
        Terminal::FlushOutput();
    } else {
        Terminal::FlushOutput();
        Terminal::Message(end.summary);
    }
}

}  // namespace ravelmoor
