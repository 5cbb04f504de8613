#include "cli/ComparisonSession.h"

#include <memory>
#include <string>

#include "app/CompareLaunch.h"
#include "app/SettingsStore.h"
#include "cli/ComparisonRunner.h"
#include "cli/Terminal.h"
#include "engine/FolderComparer.h"
#include "filters/FilterSet.h"
#include "ftp/FtpConnectionStore.h"
#include "ftp/FtpOpener.h"

namespace ravelmoor {

namespace {

// The command line refuses what the filter dialog would refuse, before any
// folder is read.
bool CheckFilterExpressions(const FilterRules& rules) {
    for (const FilterRule& rule : rules) {
        if (!IsValidExpression(rule.expression)) {
            Terminal::Message(std::string(kInvalidExpressionMessage) + ": " + rule.expression);
            return false;
        }
    }
    return true;
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
        Terminal::Message(problem);
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
