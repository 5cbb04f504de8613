#include <unordered_set>

#include "core/sync/Destinations.h"
#include "core/sync/RowOperations.h"

namespace ravelmoor {
namespace {

std::string_view FolderOf(std::string_view relative) {
    const size_t slash = relative.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash);
}

}  // namespace

void RowOperations::RemoveLeftovers(ListSide side, const std::vector<std::string>& written) {
    if (sides_.Of(side).leftovers == nullptr) return;
    std::vector<std::string>& leftovers = *sides_.Of(side).leftovers;
    if (leftovers.empty()) return;
    std::unordered_set<std::string_view> folders;
    for (const auto& relative : written)
        folders.insert(FolderOf(relative));
    SyncSide& writing = sides_.Of(side);
    std::erase_if(leftovers, [&](const std::string& leftover) {
        return folders.contains(FolderOf(leftover)) &&
               writing.fs->DeletePermanently(writing.root, leftover).status == WriteStatus::Done;
    });
}

bool RowOperations::CopyRows(const std::vector<uint32_t>& rows, bool toTarget) {
    const ListSide fromSide = toTarget ? ListSide::Source : ListSide::Target;
    const ListSide toSide = toTarget ? ListSide::Target : ListSide::Source;
    SyncSide& from = sides_.Of(fromSide);
    SyncSide& to = sides_.Of(toSide);
    Destinations destinations(*from.list, *to.list);

    std::vector<std::string> fromPaths;
    std::vector<std::string> toPaths;
    std::vector<std::string> toRelative;
    std::vector<SeenState> seenFrom;
    std::vector<SeenState> seenTo;
    seenFrom.reserve(rows.size());
    seenTo.reserve(rows.size());
    fromPaths.reserve(rows.size());
    toPaths.reserve(rows.size());
    toRelative.reserve(rows.size());
    for (const uint32_t row : rows) {
        fromPaths.push_back(from.list->ElementAt(row).FullPath(from.root));
        toRelative.push_back(destinations.For(row));
        toPaths.push_back(to.root + toRelative.back());
        seenFrom.push_back(SeenState::Of(from.list->ElementAt(row)));
        seenTo.push_back(SeenState::Of(to.list->ElementAt(row)));
    }

    RemoveLeftovers(toSide, toRelative);
    FileOperation operation = Operation(rows, toSide, /*deletion=*/false);
    operation.Expect(std::move(seenFrom), std::move(seenTo));
    const bool changed =
        operation.Copy({*from.fs, from.root}, {*to.fs, to.root}, fromPaths, toPaths);
    aborted_ = aborted_ || operation.Aborted();
    if (!changed) return false;

    for (size_t i = 0; i < rows.size(); ++i) {
        // A refused destination leads somewhere it must not: never read through it.
        if (operation.Results()[i] == ItemResult::Refused) continue;
        const size_t row = rows[i];
        const bool folder = from.list->ElementAt(row).IsFolder();
        if (!ReadAgain(toSide, row, toRelative[i], folder)) continue;
        CompareAgain(row);

        // Folders made on the way now pair with their rows, up to the first
        // parent that was there already.
        for (size_t parent = destinations.ParentRow(row); parent != Destinations::kNoRow;
             parent = destinations.ParentRow(parent)) {
            if (to.list->ElementAt(parent).status != EntryStatus::Missing) break;
            if (ReadAgain(toSide, parent, destinations.For(parent), /*folder=*/true)) {
                CompareAgain(parent);
            }
        }
    }
    return true;
}

}  // namespace ravelmoor
