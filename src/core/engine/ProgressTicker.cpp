#include "core/engine/ProgressTicker.h"

#include "core/engine/Comparison.h"
#include "core/engine/ComparisonRun.h"
#include "core/text/Formatting.h"

namespace ravelmoor {

ProgressSnapshot ProgressSnapshot::Take(ComparisonRun& run) {
    ProgressSnapshot snapshot;
    snapshot.phase = run.Phase();
    snapshot.cancelRequested = run.CancelRequested();
    snapshot.sourceCount = run.SourceCount();
    snapshot.targetCount = run.TargetCount();
    snapshot.bytesChecked = run.BytesChecked();
    // The current name is the one part of the lists that is safe to read
    // while the worker runs.
    switch (snapshot.phase) {
        case ComparisonPhase::CollectingSource:
            snapshot.currentItem = run.SourceScan().GetCurrentName();
            break;
        case ComparisonPhase::CollectingTarget:
            snapshot.currentItem = run.TargetScan().GetCurrentName();
            break;
        case ComparisonPhase::Comparing:
            snapshot.currentItem = run.Result().SourceResults().GetCurrentName();
            break;
        default:
            break;
    }
    return snapshot;
}

ProgressUpdate ProgressTicker::Tick(const ProgressSnapshot& snapshot) {
    ProgressUpdate update;
    ++tick_;
    if (snapshot.phase == ComparisonPhase::EndedWithoutResult ||
        snapshot.phase == ComparisonPhase::Completed) {
        update.close = true;
        return update;
    }
    if (snapshot.cancelRequested && tick_ > kInterruptAfterTicks) {
        update.interruptSides = true;
        tick_ = 0;
    }
    update.sourceCount = FormatSize(static_cast<uint64_t>(snapshot.sourceCount));
    update.targetCount = FormatSize(static_cast<uint64_t>(snapshot.targetCount));
    update.currentItem = snapshot.currentItem;

    PhaseText wanted = PhaseText::Collecting;
    if (snapshot.phase == ComparisonPhase::Comparing) {
        if (snapshot.bytesChecked != 0) update.bytesText = FormatSize(snapshot.bytesChecked);
        wanted = PhaseText::Comparing;
    } else if (snapshot.phase == ComparisonPhase::Sorting) {
        wanted = PhaseText::Sorting;
    }
    if (wanted != shown_) {
        shown_ = wanted;
        switch (wanted) {
            case PhaseText::Comparing:
                update.phaseText = kComparingText;
                break;
            case PhaseText::Sorting:
                update.phaseText = kSortingText;
                break;
            default:
                update.phaseText = kCollectingText;
                break;
        }
    }
    return update;
}

}  // namespace ravelmoor
