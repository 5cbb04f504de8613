#pragma once

#include <QtGlobal>
#include <cstdint>
#include <optional>
#include <string>

#include "core/engine/ComparisonMethod.h"

namespace ravelmoor {

class ComparisonRun;

// What the progress display reads from the engine at one tick.
struct ProgressSnapshot {
    ComparisonPhase phase = ComparisonPhase::Idle;
    bool cancelRequested = false;
    int64_t sourceCount = 0;
    int64_t targetCount = 0;
    uint64_t bytesChecked = 0;
    // The item being worked on: the source listing's in phase 1, the target
    // listing's in phase 2, the comparison walk's in phase 5; otherwise none.
    std::optional<std::string> currentItem;

    static ProgressSnapshot Take(ComparisonRun& run);
};

// What the display changes after one tick; a text left empty stays as shown.
struct ProgressUpdate {
    bool close = false;           // the run has ended: close the display
    bool interruptSides = false;  // break a blocked call of the worker
    std::string sourceCount;
    std::string targetCount;
    std::optional<std::string> currentItem;
    std::optional<std::string> bytesText;  // "1,234"
    std::optional<std::string> phaseText;
};

// The decisions of the progress display, free of any window: every 200 ms the
// display takes a snapshot and applies what Tick says. Counts are shown with
// digit grouping, the phase in words (only when the words change), bytes
// checked while comparing; after a cancel request the sides are interrupted
// every 7 ticks until the run ends.
class ProgressTicker {
  public:
    static constexpr int kPeriodMilliseconds = 200;
    static constexpr int kInterruptAfterTicks = 6;
    // English, marked for translation in the "ProgressTicker" context.
    static constexpr const char* kCollectingText =
        QT_TRANSLATE_NOOP("ProgressTicker", "Collecting file information..");
    static constexpr const char* kSortingText =
        QT_TRANSLATE_NOOP("ProgressTicker", "Sorting Files...");
    static constexpr const char* kComparingText =
        QT_TRANSLATE_NOOP("ProgressTicker", "Comparing Files...");
    // What the count texts show until the first tick.
    static constexpr const char* kNoCountText = "....";

    ProgressUpdate Tick(const ProgressSnapshot& snapshot);
    // The Cancel button (or Escape, or the close box) was pressed.
    void OnCancel() { tick_ = 0; }

  private:
    enum class PhaseText { None, Comparing, Sorting, Collecting };

    int tick_ = 0;
    PhaseText shown_ = PhaseText::None;
};

}  // namespace ravelmoor
