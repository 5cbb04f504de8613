#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/sync/PlanSync.h"
#include "core/sync/SyncSides.h"

namespace ravelmoor {

// The colours of the preview text. The window maps them to its palette; the
// plain-text rendering ignores them.
enum class PreviewColour : uint8_t {
    WindowText,  // the system's window-text colour
    Green,       // RGB(0, 123, 0): what is copied
    Red,         // RGB(255, 0, 0): what is overwritten or deleted
    Blue,        // RGB(0, 0, 255): the total
};

struct PreviewRun {
    std::string text;
    PreviewColour colour = PreviewColour::WindowText;

    bool operator==(const PreviewRun&) const = default;
};

struct PreviewLine {
    std::vector<PreviewRun> runs;
    bool isTotal = false;  // the last line, after one empty line

    std::string PlainText() const;
};

// Receives the preview as it is built (from the builder's thread).
class PreviewSink {
  public:
    virtual ~PreviewSink() = default;
    // `begun` lines of `total` planned rows have been started.
    virtual void Progress(size_t begun, size_t total) = 0;
    virtual void AddLine(const PreviewLine& line) = 0;
};

// Writes one line per planned action in the order in which the execution
// carries them out (copies to Target, copies to Source, deletions in Target),
// then the total of planned rows. The paths are those the execution uses,
// destinations included. Stops between two lines once `stop` is set, without
// the total line; returns whether the preview was completed.
bool BuildPreview(const SyncSides& sides, const SyncPlan& plan, PreviewSink& sink,
                  const std::atomic<bool>* stop = nullptr);

}  // namespace ravelmoor
