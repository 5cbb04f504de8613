#include <algorithm>

#include "core/sync/RowOperations.h"

namespace ravelmoor {

bool RowOperations::DeleteRows(const std::vector<uint32_t>& rows, bool sideIsSource) {
    const ListSide deletingSide = sideIsSource ? ListSide::Source : ListSide::Target;
    SyncSide& deleting = sides_.Of(deletingSide);
    SyncSide& other = sides_.Of(sideIsSource ? ListSide::Target : ListSide::Source);

    std::vector<std::string> paths;
    std::vector<SeenState> seen;
    paths.reserve(rows.size());
    seen.reserve(rows.size());
    for (const uint32_t row : rows) {
        paths.push_back(deleting.list->ElementAt(row).FullPath(deleting.root));
        seen.push_back(SeenState::Of(deleting.list->ElementAt(row)));
    }

    FileOperation operation = Operation(rows, deletingSide, /*deletion=*/true);
    operation.Expect(std::move(seen), {});
    const bool changed = operation.Delete({*deleting.fs, deleting.root}, paths);
    aborted_ = aborted_ || operation.Aborted();
    if (!changed) return false;

    std::vector<uint32_t> emptyRows;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (operation.Results()[i] == ItemResult::Refused) continue;
        const size_t row = rows[i];
        FileEntry& mine = deleting.list->ElementAt(row);
        FileEntry& theirs = other.list->ElementAt(row);
        const bool otherMissing = theirs.IsBlank() || theirs.status == EntryStatus::Missing;
        FileEntry read;
        read.ReadFromPath(*deleting.fs, deleting.root, mine.path);
        if (read.IsBlank()) {
            mine = FileEntry();
            mine.status = EntryStatus::Missing;
            if (otherMissing) {
                emptyRows.push_back(rows[i]);
            } else {
                theirs.status = EntryStatus::Unmatched;
            }
        } else {
            // Still there: the user declined, or a folder still holds something.
            mine = std::move(read);
            if (otherMissing) {
                mine.status = EntryStatus::Unmatched;
            } else {
                CompareAgain(row);
            }
        }
    }
    // One pass over the lists, so the rows left keep their pairing.
    std::sort(emptyRows.begin(), emptyRows.end());
    emptyRows.erase(std::unique(emptyRows.begin(), emptyRows.end()), emptyRows.end());
    sides_.source.list->RemoveRows(emptyRows);
    sides_.target.list->RemoveRows(emptyRows);
    return true;
}

}  // namespace ravelmoor
