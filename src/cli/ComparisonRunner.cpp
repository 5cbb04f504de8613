#include "cli/ComparisonRunner.h"

#include <chrono>

#include "cli/InterruptHandler.h"
#include "cli/Terminal.h"
#include "engine/FolderComparer.h"
#include "engine/ProgressTicker.h"
#include "results/Formatting.h"

namespace ravelmoor {
namespace {

constexpr auto kPollPeriod = std::chrono::milliseconds(200);
// After a cancel request the FTP side is interrupted every 7 polls until the run ends.
constexpr int kInterruptEveryTicks = 7;

std::string PhaseText(ComparisonPhase phase) {
    switch (phase) {
        case ComparisonPhase::Sorting:
            return ProgressTicker::kSortingText;
        case ComparisonPhase::Comparing:
            return ProgressTicker::kComparingText;
        default:
            return ProgressTicker::kCollectingText;
    }
}

std::string ProgressLine(const FolderComparer& comparer, ComparisonPhase phase) {
    std::string text = "Source: " + FormatSize(static_cast<uint64_t>(comparer.SourceCount())) +
                       "  Target: " + FormatSize(static_cast<uint64_t>(comparer.TargetCount())) +
                       "  " + PhaseText(phase);
    if (phase == ComparisonPhase::Comparing && comparer.BytesChecked() != 0) {
        text += " " + FormatSize(comparer.BytesChecked()) + " bytes checked";
    }
    return text;
}

}  // namespace

bool RunComparisonWithProgress(FolderComparer& comparer, const std::string& sourceRoot,
                               const std::string& targetRoot, bool includeSubFolders,
                               const FtpConnection& sourceFtp, const FtpConnection& targetFtp) {
    InterruptHandler interrupts(comparer.CancelWord());
    comparer.Start(sourceRoot, targetRoot, includeSubFolders, sourceFtp, targetFtp);
    const bool live = Terminal::StderrIsTerminal();
    int ticksSinceInterrupt = 0;
    while (!comparer.WaitFor(kPollPeriod)) {
        if (comparer.CancelRequested() && ++ticksSinceInterrupt >= kInterruptEveryTicks) {
            comparer.InterruptSides();
            ticksSinceInterrupt = 0;
        }
        if (live) Terminal::ShowProgress(ProgressLine(comparer, comparer.Phase()));
    }
    comparer.Wait();
    Terminal::ClearProgress();
    if (comparer.Phase() == ComparisonPhase::Completed) return true;
    if (InterruptHandler::Interrupted()) Terminal::Message("The comparison was cancelled.");
    return false;
}

}  // namespace ravelmoor
