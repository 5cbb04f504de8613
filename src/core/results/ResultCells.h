#pragma once

#include <cstdint>
#include <string>

#include "core/engine/FileEntry.h"
#include "core/sync/PlanSync.h"

namespace ravelmoor {

// The columns of both results lists.
enum class ResultColumn : int { Status = 0, Name = 1, Size = 2, Timestamp = 3 };
inline constexpr int kResultColumnCount = 4;

// The status icons: four statuses and excluded, for files and for folders,
// and one for an entry that was never classified.
enum class StatusIcon : uint8_t {
    Unclassified = 0,
    MatchedFile = 1,
    NewerFile = 2,
    OlderFile = 3,
    UnmatchedFile = 4,
    ExcludedFile = 5,
    MatchedFolder = 6,
    NewerFolder = 7,
    OlderFolder = 8,
    UnmatchedFolder = 9,
    ExcludedFolder = 10,
};
inline constexpr int kStatusIconCount = 11;

// The icon's resource name: resources/icons/<name>.svg.
const char* StatusIconName(StatusIcon icon);

// The icon of a present entry (not Missing): excluded overrides the status.
StatusIcon IconOf(const FileEntry& entry);

// The three text colours of the lists: the system's window-text colour, and
// these two (also those of the preview's paths).
enum class CellColour : uint8_t { WindowText = 0, Green = 1, Red = 2 };
inline constexpr uint32_t kCopiedFromRgb = 0x007B00;   // RGB(0, 123, 0)
inline constexpr uint32_t kOverwrittenRgb = 0xFF0000;  // RGB(255, 0, 0)

// Green for what the method copies from, red for what it overwrites or
// deletes, window text otherwise (always with no method, or for an excluded
// or Missing entry).
CellColour ColourOf(ListSide side, const FileEntry& source, const FileEntry& target,
                    SyncMethod method);

// The entry of `side` of a row.
inline const FileEntry& SideEntry(ListSide side, const FileEntry& source, const FileEntry& target) {
    return side == ListSide::Source ? source : target;
}

}  // namespace ravelmoor
