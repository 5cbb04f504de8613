#include "cli/ComparisonSession.h"

#include <string>

#include "app/CompareLaunch.h"
#include "cli/ComparisonRunner.h"
#include "cli/Terminal.h"
#include "engine/FolderComparer.h"

namespace ravelmoor {

bool CompareFromRequest(CompareRequest& request, FolderComparer& comparer) {
    const std::string problem = CheckLocalFolders(request.source, request.target);
    if (!problem.empty()) {
        Terminal::Message(problem);
        return false;
    }
    comparer.Reset(request.settings);
    comparer.SetMethod(request.method);
    return RunComparisonWithProgress(comparer, RootText(request.source), RootText(request.target),
                                     request.includeSubFolders);
}

}  // namespace ravelmoor
