#include "core/results/VisualiseDifferences.h"

#include "core/engine/Prompter.h"
#include "core/settings/Settings.h"
#include "core/sync/DifferenceViewerCommand.h"

namespace ravelmoor {
namespace {

ViewerCommand CommandOf(const Settings& settings, const PathPair& pair) {
    return MakeViewerCommand(settings.comparisonProgram, settings.comparisonParameters, pair.source,
                             pair.target);
}

}  // namespace

void VisualiseDifferences(size_t selectedCount, const std::vector<PathPair>& pairs,
                          const Settings& settings, Prompter& prompter, ViewerHost& host) {
    if (settings.comparisonProgram.empty()) {
        prompter.Warn(kLocateViewerMessage);
        host.EditSettings();  // whatever it leaves is what is used
    }
    if (selectedCount == 0) return;
    if (selectedCount > 1 && !prompter.AskYesNoWarning(kMoreThanOnePairQuestion)) return;
    for (PathPair pair : pairs) {
        const FetchOutcome fetched = host.MakeLocal(pair);
        if (fetched.status == FetchStatus::Stopped) return;
        if (!fetched.Ok()) {
            prompter.Warn(fetched.reason);
            continue;
        }
        const ViewerCommand command = CommandOf(settings, pair);
        if (host.Start(command)) continue;
        prompter.Warn(std::string(kUnableToRunPrefix) + command.text);
        if (!host.EditSettings()) return;
        // The settings as the dialog left them.
        if (!host.Start(CommandOf(settings, pair))) return;
    }
}

}  // namespace ravelmoor
