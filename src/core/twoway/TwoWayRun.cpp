#include "core/twoway/TwoWayRun.h"

#include <unordered_set>

#include "core/engine/CaseFold.h"
#include "core/engine/FileEntry.h"
#include "core/engine/NameEscape.h"
#include "core/twoway/ScanOrder.h"

namespace ravelmoor {
namespace {

bool Present(const FileEntry& entry) {
    return !entry.IsBlank() && entry.status != EntryStatus::Missing;
}

}  // namespace

TwoWayRun::TwoWayRun(RowOperations& operations, SyncSides sides, PairMemory& memory,
                     bool sourceLocal, bool targetLocal)
    : operations_(operations),
      sides_(std::move(sides)),
      memory_(memory),
      local_{sourceLocal, targetLocal} {}

SideFacts TwoWayRun::FactsNow(ListSide side, const std::string& relative) {
    SyncSide& at = sides_.Of(side);
    FileEntry entry;
    entry.ReadFromPath(*at.fs, at.root, relative);
    SideFacts facts = FactsOfEntry(entry);
    // Only a local side has inodes; a server's path is not one to statx.
    if (local_[side == ListSide::Source ? 0 : 1])
        facts = WithLocalIdentity(facts, at.root + relative);
    return facts;
}

MemoryRow TwoWayRun::RowNow(uint32_t row, const FileEntry* like) {
    const FileEntry& s = sides_.source.list->ElementAt(row);
    const FileEntry& t = sides_.target.list->ElementAt(row);
    const FileEntry& named = like != nullptr ? *like : (Present(s) ? s : t);
    MemoryRow now;
    const std::string relative = named.path.str();
    now.path = StoredPath(relative, named.IsFolder());
    now.source = FactsNow(ListSide::Source, relative);
    now.target = FactsNow(ListSide::Target, relative);
    return now;
}

void TwoWayRun::ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                              std::string_view reason) {
    // The memory first: a run killed once the change is told finds it there.
    if (result == ItemResult::Done) Remember(side, deletion, row);
    if (observer_ != nullptr) observer_->ActionSettled(side, deletion, row, result, reason);
}

void TwoWayRun::Remember(ListSide side, bool deletion, uint32_t row) {
    FileList& list = *sides_.Of(side).list;
    const FileEntry& entry = list.ElementAt(row);
    if (deletion) {
        // The row and every row below a deleted folder.
        const std::string path = entry.path.str();
        memory_.Forget(StoredPath(path, entry.IsFolder()));
        if (entry.IsFolder()) {
            const std::string prefix = path + "/";
            for (size_t r = row + 1; r < list.GetSize(); ++r) {
                const FileEntry& below = list.ElementAt(r);
                const FileEntry& other =
                    (side == ListSide::Source ? *sides_.target.list : *sides_.source.list)
                        .ElementAt(r);
                const FileEntry& e = Present(below) ? below : other;
                const std::string belowPath = e.path.str();
                if (!belowPath.starts_with(prefix)) break;
                memory_.Forget(StoredPath(belowPath, e.IsFolder()));
            }
        }
        // In step with the journal's record of the change: a run killed after
        // it finds the memory agreeing with the sides.
        memory_.Commit();
        return;
    }
    // A copy to `side`: the row's other side is where it came from.
    const FileList& from = side == ListSide::Source ? *sides_.target.list : *sides_.source.list;
    const MemoryRow now = RowNow(row, &from.ElementAt(row));
    if (now.source.Present() && now.target.Present()) memory_.Put(now);
    memory_.Commit();
}

bool TwoWayRun::DoRename(const RenameStep& step) {
    SyncSide& side = step.onSource ? sides_.source : sides_.target;
    if (!step.memoryOnly) {
        EntryFacts before;
        const std::string full = side.root + step.from;
        side.fs->ReadFacts(full, before);
        const size_t action =
            recorder_ != nullptr
                ? recorder_->Begin(ActionKind::Rename, *side.fs, side.root, full, true, before, {})
                : ActionRecorder::kNoAction;
        // The journal broke: nothing more is changed.
        if (recorder_ != nullptr && !recorder_->Broken().empty()) {
            problem_ += recorder_->Broken() + "\n";
            return false;
        }
        WriteOutcome outcome;
        if (FoldCase(step.from) == FoldCase(step.to)) {
            // A change of case alone: through a name of its own, for a side
            // that does not tell the two spellings apart.
            const size_t slash = step.to.rfind('/');
            const std::string between =
                (slash == std::string::npos ? std::string() : step.to.substr(0, slash + 1)) +
                TemporaryName();
            outcome = side.fs->Rename(side.root, step.from, between);
            if (outcome.status == WriteStatus::Done)
                outcome = side.fs->Rename(side.root, between, step.to);
        } else {
            outcome = side.fs->Rename(side.root, step.from, step.to);
        }
        if (action != ActionRecorder::kNoAction) {
            if (outcome.status == WriteStatus::Done)
                recorder_->Trashed(action, side.root + step.to);
            recorder_->End(action, outcome.status == WriteStatus::Done);
        }
        if (outcome.status != WriteStatus::Done) {
            problem_ += "Could not rename " + EscapeName(side.root + step.from) + " to " +
                        EscapeName(step.to) + ": " +
                        (outcome.reason.empty() ? std::string("it is taken") : outcome.reason) +
                        ".\n";
            return false;
        }
    }
    if (!step.conflictCopy) memory_.Rekey(step.from, step.to, step.folder);
    memory_.Commit();
    ++renamesDone_;
    return true;
}

bool TwoWayRun::Run(const SyncPlan& plan, const std::string& run, const std::string& sourceIdentity,
                    const std::string& targetIdentity) {
    const TwoWayPart& part = plan.twoWay;
    if (const MemoryOutcome begun = memory_.Begin(run, part.firstSync); !begun.Ok()) {
        problem_ = begun.reason;
        return false;
    }
    if (part.firstSync) memory_.ForgetAll();
    for (const std::string& path : part.forget)
        memory_.Forget(path);
    for (const uint32_t row : part.adopt) {
        const MemoryRow now = RowNow(row, nullptr);
        if (now.source.Present() && now.target.Present()) memory_.Put(now);
    }
    memory_.Commit();
    operations_.SetObserver(this);
    bool renamed = true;
    for (const RenameStep& step : part.renames) {
        renamed = DoRename(step) && renamed;
        if (step.conflictCopy) {
            // The winner's copy now lands where nothing is in its way.
            for (const TwoWayConflict& conflict : part.conflicts) {
                FileList& list = step.onSource ? *sides_.source.list : *sides_.target.list;
                if (conflict.settled == Settlement::KeepBoth &&
                    list.ElementAt(conflict.row).path == step.from) {
                    FileEntry& loser = list.ElementAt(conflict.row);
                    loser = FileEntry();
                    loser.status = EntryStatus::Missing;
                }
            }
        }
    }
    // Copies keep row numbers; a deletion drops the rows it empties, so the
    // deletions come last, and Source's rows are found again by their paths.
    if (!plan.copyToTarget.empty()) operations_.CopyRows(plan.copyToTarget, true);
    if (!operations_.Aborted() && !plan.copyToSource.empty())
        operations_.CopyRows(plan.copyToSource, false);
    std::unordered_set<std::string> sourceDeletions;
    for (const uint32_t row : part.deleteInSource)
        sourceDeletions.insert(sides_.source.list->ElementAt(row).path.str());
    if (!operations_.Aborted() && !plan.deleteInTarget.empty())
        operations_.DeleteRows(plan.deleteInTarget, false);
    std::vector<uint32_t> sourceRows;
    for (uint32_t row = 0; row < sides_.source.list->GetSize() && !sourceDeletions.empty(); ++row) {
        const FileEntry& entry = sides_.source.list->ElementAt(row);
        if (Present(entry) && sourceDeletions.contains(entry.path.str())) sourceRows.push_back(row);
    }
    if (!operations_.Aborted() && !sourceRows.empty()) operations_.DeleteRows(sourceRows, true);
    if (const MemoryOutcome ended = memory_.End(sourceIdentity, targetIdentity); !ended.Ok())
        problem_ += ended.reason;
    return renamed && problem_.empty();
}

}  // namespace ravelmoor
