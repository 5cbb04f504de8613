#include "core/sync/RowOperations.h"

#include <algorithm>
#include <ctime>
#include <unordered_set>

#include "core/engine/ComparisonRules.h"
#include "core/sync/Destinations.h"

namespace ravelmoor {
namespace {

std::string_view FolderOf(std::string_view relative) {
    const size_t slash = relative.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash);
}

}  // namespace

RowOperations::RowOperations(const ComparisonRules& rules, SyncSides sides, Prompter& prompter)
    : rules_(rules), sides_(std::move(sides)), prompter_(prompter) {}

void RowOperations::BatchReporter::Settled(size_t index, ItemResult result,
                                           std::string_view reason) {
    if (observer != nullptr)
        observer->ActionSettled(side, deletion, (*rows)[index], result, reason);
}

FileOperation RowOperations::Operation(const std::vector<uint32_t>& rows, ListSide side,
                                       bool deletion) {
    reporter_.rows = &rows;
    reporter_.side = side;
    reporter_.deletion = deletion;
    FileOperation operation(prompter_, tally_);
    if (reporter_.observer != nullptr) operation.SetObserver(&reporter_);
    operation.SetCancelWord(cancel_);
    operation.SetProgress(progress_);
    operation.SetKeepReplaced(keepReplaced_);
    operation.SetVerify(verify_);
    operation.SetRecorder(recorder_);
    return operation;
}

bool RowOperations::ReadAgain(ListSide side, size_t row, const std::string& relativePath,
                              bool folder) {
    SyncSide& reading = sides_.Of(side);
    FileEntry entry;
    entry.ReadFromPath(*reading.fs, reading.root, relativePath);
    // A file and a folder of one name never pair, here as in the comparison.
    if (entry.IsBlank() || entry.IsFolder() != folder) return false;
    reading.list->ElementAt(row) = std::move(entry);
    return true;
}

void RowOperations::CompareAgain(size_t row) {
    const PairData data{*sides_.source.fs, sides_.source.root, *sides_.target.fs,
                        sides_.target.root};
    ClassifyPair(sides_.source.list->ElementAt(row), sides_.target.list->ElementAt(row), rules_,
                 data, progress_);
}

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
        read.ReadFromPath(*deleting.fs, deleting.root, mine.path.str());
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

void RowOperations::ReadPathsAgain(const std::vector<std::string>& sourcePaths,
                                   const std::vector<std::string>& targetPaths) {
    const std::unordered_set<std::string_view> changed[] = {
        {sourcePaths.begin(), sourcePaths.end()}, {targetPaths.begin(), targetPaths.end()}};
    // First where each row lies on each side, while the lists are as listed.
    struct Found {
        uint32_t row;
        ListSide side;
        std::string relative;
    };
    std::vector<Found> found;
    Destinations toSource(*sides_.target.list, *sides_.source.list);
    Destinations toTarget(*sides_.source.list, *sides_.target.list);
    const size_t rows = sides_.source.list->GetSize();
    for (uint32_t row = 0; row < rows; ++row) {
        if (!changed[0].empty()) {
            std::string relative = toSource.For(row);
            if (changed[0].contains(relative)) found.push_back({row, ListSide::Source, relative});
        }
        if (!changed[1].empty()) {
            std::string relative = toTarget.For(row);
            if (changed[1].contains(relative)) found.push_back({row, ListSide::Target, relative});
        }
    }
    std::vector<uint32_t> emptyRows;
    for (const Found& at : found) {
        FileEntry& mine = sides_.Of(at.side).list->ElementAt(at.row);
        FileEntry& theirs =
            sides_.Of(at.side == ListSide::Source ? ListSide::Target : ListSide::Source)
                .list->ElementAt(at.row);
        const bool otherMissing = theirs.IsBlank() || theirs.status == EntryStatus::Missing;
        mine.ReadFromPath(*sides_.Of(at.side).fs, sides_.Of(at.side).root, at.relative);
        if (mine.IsBlank()) {
            mine.status = EntryStatus::Missing;
            if (otherMissing) {
                emptyRows.push_back(at.row);
            } else {
                theirs.status = EntryStatus::Unmatched;
            }
        } else if (otherMissing || mine.IsFolder() != theirs.IsFolder()) {
            // A file and a folder of one name never pair, here as in the comparison.
            mine.status = EntryStatus::Unmatched;
            if (!otherMissing) theirs.status = EntryStatus::Unmatched;
        } else {
            CompareAgain(at.row);
        }
    }
    std::sort(emptyRows.begin(), emptyRows.end());
    emptyRows.erase(std::unique(emptyRows.begin(), emptyRows.end()), emptyRows.end());
    sides_.source.list->RemoveRows(emptyRows);
    sides_.target.list->RemoveRows(emptyRows);
}

void RowOperations::RemoveOldVersions() {
    const auto now = static_cast<int64_t>(std::time(nullptr));
    for (const SyncSide* side : {&sides_.source, &sides_.target}) {
        if (side->versions != nullptr) side->versions->RemoveOld(now, versionNotice_);
    }
}

void RunSyncPlan(RowOperations& operations, const SyncPlan& plan,
                 const std::function<void()>& batchDone) {
    const auto done = batchDone ? batchDone : [] {};
    operations.RemoveOldVersions();
    if (!plan.copyToTarget.empty()) operations.CopyRows(plan.copyToTarget, true);
    done();
    if (operations.Aborted()) return;
    if (!plan.copyToSource.empty()) operations.CopyRows(plan.copyToSource, false);
    done();
    if (operations.Aborted()) return;
    if (!plan.deleteInTarget.empty()) operations.DeleteRows(plan.deleteInTarget, false);
    done();
    // Row numbers hold only until a deletion: a plan with deletions on both
    // sides would need them counted again, and none is made outside two-way.
    if (operations.Aborted() || plan.twoWay.deleteInSource.empty()) return;
    operations.DeleteRows(plan.twoWay.deleteInSource, true);
    done();
}

}  // namespace ravelmoor
