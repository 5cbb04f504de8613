#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/results/ViewChoice.h"

namespace ravelmoor {

class FileList;

// What the shown rows add up to, for the labels under the two lists.
struct ShownTotals {
    uint64_t shown = 0;
    uint64_t missingInSource = 0;  // shown rows that exist only in Target
    uint64_t missingInTarget = 0;  // shown rows that exist only in Source
    uint64_t sourceBytes = 0;
    uint64_t targetBytes = 0;

    uint64_t SourceCount() const { return shown - missingInSource; }
    uint64_t TargetCount() const { return shown - missingInTarget; }
};

// Fills `rows` with the numbers of the rows of the paired lists that the
// toggles show, ascending, and adds up what they hold. A row is picked by
// its Source status (only-in-Target rows go with Unmatched); a row with an
// excluded entry on either side is shown exactly when Excluded is on.
// `rows` keeps its capacity, so refreshing the same lists allocates nothing.
ShownTotals ComputeVisibleRows(const FileList& source, const FileList& target,
                               const ViewToggles& toggles, std::vector<uint32_t>& rows);

// What `rows` add up to (the rows given, whatever the toggles).
ShownTotals TotalsOf(const FileList& source, const FileList& target,
                     const std::vector<uint32_t>& rows);

// "Files and Folders: 1,234" and "Total Size: 5,678".
std::string CountLabelText(uint64_t count);
std::string SizeLabelText(uint64_t bytes);

}  // namespace ravelmoor
