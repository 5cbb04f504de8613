#include <gtest/gtest.h>

#include "core/engine/ProgressTicker.h"
#include "core/text/Formatting.h"

namespace ravelmoor {
namespace {

using Phase = ComparisonPhase;

ProgressSnapshot At(Phase phase, int64_t source = 0, int64_t target = 0, uint64_t bytes = 0) {
    ProgressSnapshot snapshot;
    snapshot.phase = phase;
    snapshot.sourceCount = source;
    snapshot.targetCount = target;
    snapshot.bytesChecked = bytes;
    return snapshot;
}

TEST(ProgressTicker, ShowsCountsAndPhaseTextsOnlyWhenTheyChange) {
    struct Step {
        ProgressSnapshot snapshot;
        std::optional<std::string> phaseText;
        std::optional<std::string> bytesText;
    };
    const std::vector<Step> steps = {
        {At(Phase::CollectingSource, 1234567), "Collecting file information..", {}},
        {At(Phase::Sorting, 2000), "Sorting Files...", {}},
        {At(Phase::CollectingTarget, 2000, 5), "Collecting file information..", {}},
        {At(Phase::CollectingTarget, 2000, 9), {}, {}},
        {At(Phase::PreparingComparison, 2000, 9), {}, {}},
        {At(Phase::Comparing, 2000, 9), "Comparing Files...", {}},
        {At(Phase::Comparing, 2000, 9, 16384), {}, FormatSize(16384)},
    };
    ProgressTicker ticker;
    for (const Step& step : steps) {
        const ProgressUpdate update = ticker.Tick(step.snapshot);
        EXPECT_FALSE(update.close);
        EXPECT_EQ(update.phaseText, step.phaseText) << static_cast<int>(step.snapshot.phase);
        EXPECT_EQ(update.bytesText, step.bytesText);
    }
    EXPECT_TRUE(ticker.Tick(At(Phase::Completed)).close);
    EXPECT_TRUE(ProgressTicker().Tick(At(Phase::EndedWithoutResult)).close);
}

TEST(ProgressTicker, AfterCancel_InterruptsTheSidesEverySevenTicks) {
    ProgressTicker ticker;
    ProgressSnapshot busy = At(Phase::CollectingSource);
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(ticker.Tick(busy).interruptSides);  // no cancel, no interrupt
    busy.cancelRequested = true;
    ticker.OnCancel();
    std::vector<int> interruptedAt;
    for (int tick = 1; tick <= 21; ++tick) {
        if (ticker.Tick(busy).interruptSides) interruptedAt.push_back(tick);
    }
    EXPECT_EQ(interruptedAt, (std::vector<int>{7, 14, 21}));
}

}  // namespace
}  // namespace ravelmoor
