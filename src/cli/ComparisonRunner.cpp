#include "cli/ComparisonRunner.h"

#include <chrono>

#include "cli/InterruptHandler.h"
#include "cli/Terminal.h"
#include "core/engine/FolderComparer.h"
#include "core/engine/ProgressTicker.h"

namespace ravelmoor {
namespace {

constexpr auto kPollPeriod = std::chrono::milliseconds(ProgressTicker::kPeriodMilliseconds);

}  // namespace

bool RunComparisonWithProgress(FolderComparer& comparer, const std::string& sourceRoot,
                               const std::string& targetRoot, bool includeSubFolders,
                               const FtpConnection& sourceFtp, const FtpConnection& targetFtp) {
    InterruptHandler interrupts(comparer.CancelWord());
    comparer.Start(sourceRoot, targetRoot, includeSubFolders, sourceFtp, targetFtp);
    const bool live = Terminal::StderrIsTerminal();
    // The same decisions as the progress dialog, shown as one line.
    ProgressTicker ticker;
    std::string phase = ProgressTicker::kCollectingText;
    std::string bytes;
    while (!comparer.WaitFor(kPollPeriod)) {
        const ProgressUpdate update = ticker.Tick(ProgressSnapshot::Take(comparer));
        if (update.interruptSides) comparer.InterruptSides();
        if (update.phaseText) phase = *update.phaseText;
        if (update.bytesText) bytes = "  " + *update.bytesText + " bytes checked";
        if (live && !update.close) {
            std::string line = "Source: " + update.sourceCount;
            line.append("  Target: ").append(update.targetCount).append("  ");
            line.append(phase).append(bytes);
            Terminal::ShowProgress(line);
        }
    }
    comparer.Wait();
    Terminal::ClearProgress();
    if (comparer.Phase() == ComparisonPhase::Completed) return true;
    if (InterruptHandler::Interrupted()) Terminal::Message("The comparison was cancelled.");
    return false;
}

}  // namespace ravelmoor
