#include "cli/ComparisonSession.h"

#include <memory>
#include <string>

#include "cli/ComparisonRunner.h"
#include "cli/ProblemDetail.h"
#include "cli/Terminal.h"
#include "core/engine/FolderComparer.h"
#include "core/filters/FilterSet.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/ftp/FtpOpener.h"
#include "core/settings/CompareLaunch.h"
#include "core/settings/SettingsStore.h"

namespace ravelmoor {

namespace {

// The command line refuses what the filter dialog would refuse, before any
// folder is read.
bool CheckFilterExpressions(const FilterRules& rules) {
    for (const FilterRule& rule : rules) {
        if (!IsValidExpression(rule.expression)) {
            Terminal::Message(WithSubject(kInvalidExpressionMessage, rule.expression));
            return false;
        }
    }
    return true;
}

// The launch's message with the side it is about and the system's reason. The
// launch has normalised a local side in place; an FTP side is named by its
// connection.
std::string DescribeSideProblem(const std::string& problem, const CompareRequest& request) {
    const bool aboutTarget = problem.rfind("Target", 0) == 0;
    const std::string& side = aboutTarget ? request.target : request.source;
    if (problem.find("FTP connection") != std::string::npos) {
        return WithSubject(problem, side.substr(kFtpFolderPrefix.size()));
    }
    if (problem.find("folder not found") != std::string::npos) {
        return WithSubject(problem, side, FolderReason(side));
    }
    if (problem.find("are the same") != std::string::npos) return WithSubject(problem, side);
    return problem;
}

}  // namespace

bool CompareFromRequest(CompareRequest& request, FolderComparer& comparer) {
    if (!CheckFilterExpressions(request.filterRules)) return false;
    FtpConnection sourceFtp;
    FtpConnection targetFtp;
    const auto lookup = [](std::string_view name) {
        SettingsStore settingsStore;
        return FtpConnectionStore(settingsStore).LookupConnection(name);
    };
    const std::string problem =
        CheckCompareSides(request.source, request.target, lookup, sourceFtp, targetFtp);
    if (!problem.empty()) {
        Terminal::Message(DescribeSideProblem(problem, request));
        return false;
    }
    comparer.Reset(request.settings);
    comparer.SetMethod(request.method);
    auto filter = std::make_shared<FilterSet>();
    filter->Prepare(request.filterRules);
    comparer.SetFilter(std::move(filter));
    comparer.SetFtpOpener(MakeFtpOpener());
    return RunComparisonWithProgress(comparer, RootText(request.source), RootText(request.target),
                                     request.includeSubFolders, sourceFtp, targetFtp);
}

}  // namespace ravelmoor
