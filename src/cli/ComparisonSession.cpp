#include "cli/ComparisonSession.h"

#include <string>

#include "app/CompareLaunch.h"
#include "app/SettingsStore.h"
#include "cli/ComparisonRunner.h"
#include "cli/Terminal.h"
#include "engine/FolderComparer.h"
#include "ftp/FtpConnectionStore.h"
#include "ftp/FtpOpener.h"

namespace ravelmoor {

bool CompareFromRequest(CompareRequest& request, FolderComparer& comparer) {
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
    comparer.SetFtpOpener(MakeFtpOpener());
    return RunComparisonWithProgress(comparer, RootText(request.source), RootText(request.target),
                                     request.includeSubFolders, sourceFtp, targetFtp);
}

}  // namespace ravelmoor
