#include "results/VisualiseDifferences.h"

#include "app/Settings.h"
#include "engine/Prompter.h"
#include "sync/DifferenceViewerCommand.h"

namespace ravelmoor {
namespace {

std::string TemplateOf(const Settings& settings) {
    return DifferenceCommandTemplate(settings.comparisonProgram, settings.comparisonParameters);
}

}  // namespace

void VisualiseDifferences(size_t selectedCount, const std::vector<PathPair>& pairs,
                          const Settings& settings, Prompter& prompter, ViewerHost& host) {
    if (settings.comparisonProgram.empty()) {
        prompter.Warn(kLocateViewerMessage);
        host.EditSettings();  // whatever it leaves is what is used
    }
    std::string commandTemplate = TemplateOf(settings);
    if (selectedCount == 0) return;
    if (selectedCount > 1 && !prompter.AskYesNo(kMoreThanOnePairQuestion)) return;
    for (const PathPair& pair : pairs) {
        std::string command = FillDifferenceCommand(commandTemplate, pair.source, pair.target);
        if (host.Start(command)) continue;
        prompter.Warn(std::string(kUnableToRunPrefix) + command);
        if (!host.EditSettings()) return;
        commandTemplate = TemplateOf(settings);
        command = FillDifferenceCommand(commandTemplate, pair.source, pair.target);
        if (!host.Start(command)) return;
    }
}

}  // namespace ravelmoor
