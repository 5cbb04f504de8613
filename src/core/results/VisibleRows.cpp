#include "core/results/VisibleRows.h"

#include <algorithm>

#include "core/engine/FileList.h"
#include "core/text/Formatting.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

bool StatusShown(EntryStatus sourceStatus, const ViewToggles& toggles) {
    switch (sourceStatus) {
        case EntryStatus::Matched:
            return toggles.matched;
        case EntryStatus::Newer:
            return toggles.newer;
        case EntryStatus::Older:
            return toggles.older;
        case EntryStatus::Unmatched:
        case EntryStatus::Missing:
            return toggles.unmatched;
        case EntryStatus::Unclassified:
            break;
    }
    return false;
}

}  // namespace

ShownTotals ComputeVisibleRows(const FileList& source, const FileList& target,
                               const ViewToggles& toggles, std::vector<uint32_t>& rows) {
    rows.clear();
    const size_t count = std::min(source.GetSize(), target.GetSize());
    for (size_t row = 0; row < count; ++row) {
        const FileEntry& s = source.ElementAt(row);
        const FileEntry& t = target.ElementAt(row);
        const bool shown = (s.excluded != 0 || t.excluded != 0) ? toggles.excluded
                                                                : StatusShown(s.status, toggles);
        if (shown) rows.push_back(static_cast<uint32_t>(row));
    }
    return TotalsOf(source, target, rows);
}

ShownTotals TotalsOf(const FileList& source, const FileList& target,
                     const std::vector<uint32_t>& rows) {
    ShownTotals totals;
    for (const uint32_t row : rows) {
        const FileEntry& s = source.ElementAt(row);
        const FileEntry& t = target.ElementAt(row);
        if (s.status == EntryStatus::Missing) {
            totals.targetBytes += t.size;
            ++totals.missingInSource;
        } else if (s.status == EntryStatus::Unmatched) {
            totals.sourceBytes += s.size;
            ++totals.missingInTarget;
        } else {
            totals.sourceBytes += s.size;
            totals.targetBytes += t.size;
        }
    }
    totals.shown = rows.size();
    return totals;
}

std::string CountLabelText(uint64_t count) {
    return FillIn(QCoreApplication::translate("VisibleRows", "Files and Folders: %1"),
                  {FormatSize(count)});
}

std::string SizeLabelText(uint64_t bytes) {
    return FillIn(QCoreApplication::translate("VisibleRows", "Total Size: %1"),
                  {FormatSize(bytes)});
}

}  // namespace ravelmoor
