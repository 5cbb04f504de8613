#include "cli/ComparisonSession.h"

#include <chrono>
#include <optional>
#include <string>

#include "cli/InterruptHandler.h"
#include "cli/ProblemDetail.h"
#include "cli/Terminal.h"
#include "core/engine/Comparison.h"
#include "core/engine/ProgressTicker.h"
#include "core/filters/FilterSet.h"
#include "core/filters/GlobExpression.h"
#include "core/folders/FolderText.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/launch/StartComparison.h"
#include "core/settings/SettingsStore.h"
#include "core/sftp/SftpConnectionStore.h"

namespace ravelmoor {

namespace {

constexpr auto kPollPeriod = std::chrono::milliseconds(ProgressTicker::kPeriodMilliseconds);

// The command line refuses what the filter dialog would refuse, before any
// folder is read.
bool CheckFilterExpressions(const FilterRules& rules) {
    for (const FilterRule& rule : rules) {
        if (!IsValidExpression(rule.expression)) {
            std::string message = WithSubject(kInvalidExpressionMessage, rule.expression);
            if (LooksLikeGlob(rule.expression)) {
                message += ". It reads as a shell glob: write " +
                           std::string(rule.IsInclude() ? "--include-glob" : "--exclude-glob") +
                           " '" + rule.expression + "' for that.";
            }
            Terminal::Message(message);
            return false;
        }
    }
    return true;
}

// A side on a server that is not found, named by its connection; "(sftp) "
// alone names none, and the reason then stands alone, as the window says it.
std::string WithConnection(const std::string& reason, const std::string& name) {
    return name.empty() ? reason : WithSubject(reason, name);
}

// The launch's message with the side it is about and the system's reason. The
// launch has normalised a local side in place; a side on a server is named by
// its connection.
std::string DescribeSideProblem(const LaunchOutcome& problem, const CompareJob& job) {
    switch (problem.status) {
        case LaunchStatus::SourceFtpNotFound:
            return WithConnection(problem.reason, std::string(ConnectionNameIn(job.sourceFolder)));
        case LaunchStatus::TargetFtpNotFound:
            return WithConnection(problem.reason, std::string(ConnectionNameIn(job.targetFolder)));
        case LaunchStatus::SourceSftpNotFound:
            return WithConnection(problem.reason, std::string(ConnectionNameIn(job.sourceFolder)));
        case LaunchStatus::TargetSftpNotFound:
            return WithConnection(problem.reason, std::string(ConnectionNameIn(job.targetFolder)));
        case LaunchStatus::SourceNotFound:
            return WithSubject(problem.reason, job.sourceFolder, FolderReason(job.sourceFolder));
        case LaunchStatus::TargetNotFound:
            return WithSubject(problem.reason, job.targetFolder, FolderReason(job.targetFolder));
        case LaunchStatus::SameFolders:
        case LaunchStatus::SameFolderTwice:
            return WithSubject(problem.reason, job.sourceFolder);
        default:
            return problem.reason;
    }
}

bool RunWithProgress(ComparisonRun& run) {
    const bool live = Terminal::StderrIsTerminal();
    // The same decisions as the progress dialog, shown as one line.
    ProgressTicker ticker;
    std::string phase = ProgressTicker::kCollectingText;
    std::string bytes;
    while (!run.WaitFor(kPollPeriod)) {
        const ProgressUpdate update = ticker.Tick(ProgressSnapshot::Take(run));
        if (update.interruptSides) run.InterruptSides();
        if (update.phaseText) phase = *update.phaseText;
        if (update.bytesText) bytes = "  " + *update.bytesText + " bytes checked";
        if (live && !update.close) {
            std::string line = "Source: " + update.sourceCount;
            line.append("  Target: ").append(update.targetCount).append("  ");
            line.append(phase).append(bytes);
            Terminal::ShowProgress(line);
        }
    }
    run.Wait();
    Terminal::ClearProgress();
    if (run.Phase() == ComparisonPhase::Completed) return true;
    if (InterruptHandler::Interrupted()) Terminal::Message("The comparison was cancelled.");
    return false;
}

}  // namespace

bool CompareFromRequest(CompareRequest& request, Comparison& comparison, Prompter& prompter) {
    if (!CheckFilterExpressions(request.job.filterRules)) return false;
    SettingsStore settingsStore;
    // A host key nobody has seen is taken only on the user's explicit word;
    // --yes is no such word.
    const UnknownHostKey unknownHostKey =
        request.acceptNewHostKey ? UnknownHostKey::Accept : UnknownHostKey::Refuse;
    // Ctrl-C cancels the run from before its worker starts.
    std::optional<InterruptHandler> interrupts;
    const ComparisonStart start = StartComparison(
        request.job, StoredConnectionLookup(settingsStore), comparison, prompter, unknownHostKey,
        [&](ComparisonRun& run) { interrupts.emplace(run.CancelWord()); });
    if (!start.outcome.Ok()) {
        Terminal::Message(DescribeSideProblem(start.outcome, request.job));
        return false;
    }
    if (!RunWithProgress(*start.run)) return false;
    const SideProvider& sides = comparison.Sides();
    if (request.verbose && !request.quiet &&
        (sides.Kind(Side::Source) == SideKind::Ftp || sides.Kind(Side::Target) == SideKind::Ftp)) {
        // Each is one more command to the server: worth saying how many.
        Terminal::Message(
            "Exact times asked of the FTP server (its listing gave only the minute "
            "or the day): " +
            std::to_string(comparison.ExactTimesAsked()) + ".");
    }
    return true;
}

}  // namespace ravelmoor
