#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/sync/PlanEdit.h"
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

    std::string PlainText() const;
};

// The preview's line of each planned action, made when it is asked for, so
// that a plan of millions of rows shows at once: "would copy SOURCE PATH to
// [OVERWRITE ]TARGET [PATH]", its mirror, and "would DELETE TARGET PATH",
// with "folder " before a folder's path. The paths are those the execution
// uses. The texts are translated once, when this object is made.
class PreviewLines {
  public:
    // `sides` needs only its lists and roots (ListedSidesOf).
    explicit PreviewLines(SyncSides sides);

    PreviewLine Of(uint32_t row, PlanStep step) const;
    // "Total Files/Folders copied or deleted: COUNT", in blue.
    static PreviewLine Total(size_t count);

  private:
    SyncSides sides_;
    // Copy lines [to Source][folder][overwrite], then the two deletions.
    std::array<std::string, 8> copies_;
    std::array<std::string, 2> deletions_;
};

}  // namespace ravelmoor
