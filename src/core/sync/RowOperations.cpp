#include "core/sync/RowOperations.h"

#include "core/engine/ComparisonRules.h"

namespace ravelmoor {

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

void RunSyncPlan(RowOperations& operations, const SyncPlan& plan,
                 const std::function<void()>& batchDone) {
    const auto done = batchDone ? batchDone : [] {};
    if (!plan.copyToTarget.empty()) operations.CopyRows(plan.copyToTarget, true);
    done();
    if (operations.Aborted()) return;
    if (!plan.copyToSource.empty()) operations.CopyRows(plan.copyToSource, false);
    done();
    if (operations.Aborted()) return;
    if (!plan.deleteInTarget.empty()) operations.DeleteRows(plan.deleteInTarget, false);
    done();
}

}  // namespace ravelmoor
