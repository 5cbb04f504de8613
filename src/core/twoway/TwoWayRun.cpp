#include "core/twoway/TwoWayRun.h"

#include <algorithm>
#include <set>

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
    return WithIdentity(facts, at.fs, local_[side == ListSide::Source ? 0 : 1], at.root + relative);
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
    // deletions come last and the rows are found again by their paths. Only
    // a deletion in a copy's way (a folder a file replaces, or the other way
    // round) goes first, so that the copy lands in the same run.
    const auto pathsOf = [](const FileList& list, const std::vector<uint32_t>& rows) {
        std::vector<std::pair<std::string, bool>> paths;
        paths.reserve(rows.size());
        for (const uint32_t row : rows) {
            const FileEntry& entry = list.ElementAt(row);
            paths.emplace_back(entry.path.str(), entry.IsFolder());
        }
        return paths;
    };
    FileList& sourceList = *sides_.source.list;
    FileList& targetList = *sides_.target.list;
    auto toTarget = pathsOf(sourceList, plan.copyToTarget);
    auto toSource = pathsOf(targetList, plan.copyToSource);
    auto deleteTarget = pathsOf(targetList, plan.deleteInTarget);
    auto deleteSource = pathsOf(sourceList, part.deleteInSource);
    const auto rowsOf = [](const FileList& list,
                           const std::vector<std::pair<std::string, bool>>& paths) {
        std::set<std::pair<std::string, bool>> wanted(paths.begin(), paths.end());
        std::vector<uint32_t> rows;
        for (uint32_t row = 0; row < list.GetSize() && !wanted.empty(); ++row) {
            const FileEntry& entry = list.ElementAt(row);
            if (Present(entry) && wanted.erase({entry.path.str(), entry.IsFolder()}) > 0)
                rows.push_back(row);
        }
        return rows;
    };
    // The deletions whose path a copy to the same side takes with another kind.
    const auto inTheWay = [](std::vector<std::pair<std::string, bool>>& deletions,
                             const std::vector<std::pair<std::string, bool>>& copies) {
        std::set<std::string> copied;
        for (const auto& [path, folder] : copies)
            copied.insert(path);
        // A folder in the way goes with everything below it.
        std::vector<std::string> folders;
        for (const auto& [path, folder] : deletions) {
            if (folder && copied.contains(path)) folders.push_back(path + "/");
        }
        const auto below = [&](const std::string& path) {
            return std::any_of(folders.begin(), folders.end(),
                               [&](const std::string& folder) { return path.starts_with(folder); });
        };
        std::vector<std::pair<std::string, bool>> first;
        std::erase_if(deletions, [&](const std::pair<std::string, bool>& deletion) {
            if (!copied.contains(deletion.first) && !below(deletion.first)) return false;
            first.push_back(deletion);
            return true;
        });
        return first;
    };
    const auto firstInTarget = inTheWay(deleteTarget, toTarget);
    const auto firstInSource = inTheWay(deleteSource, toSource);
    if (!firstInTarget.empty()) operations_.DeleteRows(rowsOf(targetList, firstInTarget), false);
    if (!operations_.Aborted() && !firstInSource.empty())
        operations_.DeleteRows(rowsOf(sourceList, firstInSource), true);
    const bool moved = !firstInTarget.empty() || !firstInSource.empty();
    const std::vector<uint32_t> copyTarget =
        moved ? rowsOf(sourceList, toTarget) : plan.copyToTarget;
    const std::vector<uint32_t> copySource =
        moved ? rowsOf(targetList, toSource) : plan.copyToSource;
    if (!operations_.Aborted() && !copyTarget.empty()) operations_.CopyRows(copyTarget, true);
    if (!operations_.Aborted() && !copySource.empty()) operations_.CopyRows(copySource, false);
    if (!operations_.Aborted() && !deleteTarget.empty())
        operations_.DeleteRows(rowsOf(targetList, deleteTarget), false);
    if (!operations_.Aborted() && !deleteSource.empty())
        operations_.DeleteRows(rowsOf(sourceList, deleteSource), true);
    if (const MemoryOutcome ended = memory_.End(sourceIdentity, targetIdentity); !ended.Ok())
        problem_ += ended.reason;
    return renamed && problem_.empty();
}

}  // namespace ravelmoor
