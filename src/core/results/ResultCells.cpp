#include "core/results/ResultCells.h"

#include <array>

namespace ravelmoor {
namespace {

constexpr std::array<const char*, kStatusIconCount> kIconNames = {
    "status-unclassified",     "status-matched-file",    "status-newer-file",
    "status-older-file",       "status-unmatched-file",  "status-excluded-file",
    "status-matched-folder",   "status-newer-folder",    "status-older-folder",
    "status-unmatched-folder", "status-excluded-folder",
};

}  // namespace

const char* StatusIconName(StatusIcon icon) {
    return kIconNames[static_cast<size_t>(icon)];
}

StatusIcon IconOf(const FileEntry& entry) {
    const bool folder = entry.IsFolder();
    if (entry.excluded != 0) return folder ? StatusIcon::ExcludedFolder : StatusIcon::ExcludedFile;
    int icon = 0;
    switch (entry.status) {
        case EntryStatus::Matched:
        case EntryStatus::Newer:
        case EntryStatus::Older:
        case EntryStatus::Unmatched:
            icon = static_cast<int>(entry.status);
            break;
        case EntryStatus::Unclassified:
        case EntryStatus::Missing:
            return StatusIcon::Unclassified;
    }
    return static_cast<StatusIcon>(folder ? icon + 5 : icon);
}

CellColour ColourOf(ListSide side, const FileEntry& source, const FileEntry& target,
                    SyncMethod method) {
    if (SideEntry(side, source, target).excluded != 0) return CellColour::WindowText;
    switch (PlannedRole(side, source, target, method)) {
        case EntryRole::CopiedFrom:
            return CellColour::Green;
        case EntryRole::OverwrittenOrDeleted:
            return CellColour::Red;
        case EntryRole::None:
            break;
    }
    return CellColour::WindowText;
}

}  // namespace ravelmoor
