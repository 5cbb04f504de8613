#include "core/twoway/TwoWayPlan.h"

#include <algorithm>

#include "core/engine/FileList.h"
#include "core/engine/NameEscape.h"
#include "core/twoway/PairMemory.h"
#include "core/twoway/PlanWork.h"
#include "core/twoway/RenameFinder.h"
#include "core/twoway/ScanOrder.h"

namespace ravelmoor {
namespace {

class Planner {
  public:
    Planner(const FileList& source, const FileList& target, PairMemory& memory,
            const TwoWayInput& input, SyncPlan& plan)
        : work_(source, target, input, plan), memory_(memory), renames_(work_) {}

    TwoWayOutcome Run();

  private:
    void Walk();
    TwoWayOutcome Guards();
    void FolderDeletions();
    void Emit();
    void Settle(TwoWayConflict& conflict);

    PlanWork work_;
    PairMemory& memory_;
    RenameFinder renames_;
    std::string damaged_;
    size_t present_[2] = {0, 0};
    size_t remembered_ = 0;
    size_t rememberedFiles_ = 0;
    size_t timeOnly_[2] = {0, 0};
};

void Planner::Walk() {
    const bool useMemory = !work_.input.firstSync && !work_.plan.twoWay.firstSync;
    std::optional<PairMemory::Cursor> cursor;
    MemoryRow base;
    bool have = false;
    if (useMemory) {
        cursor.emplace(memory_);
        have = cursor->Next(base);
    }
    const auto vanished = [&] {
        // Gone from both sides: a rename's old path, or a deletion on both.
        ++remembered_;
        if (base.source.kind != SideFacts::Folder) ++rememberedFiles_;
        work_.gone[0].push_back({base, kNoRow});
        work_.gone[1].push_back({base, kNoRow});
        have = cursor->Next(base);
    };
    for (uint32_t row = 0; row < work_.rows; ++row) {
        const FileEntry& s = work_.source.ElementAt(row);
        const FileEntry& t = work_.target.ElementAt(row);
        const std::string sourceKey = PlanWork::Present(s) ? StoredPath(s) : std::string();
        const std::string targetKey = PlanWork::Present(t) ? StoredPath(t) : std::string();
        const std::string& first =
            sourceKey.empty() ? targetKey
            : targetKey.empty()
                ? sourceKey
                : (CompareStoredPaths(sourceKey, targetKey) <= 0 ? sourceKey : targetKey);
        while (have && CompareStoredPaths(base.path, first) < 0)
            vanished();
        const bool matched = have && (base.path == sourceKey || base.path == targetKey);
        if (matched) {
            ++remembered_;
            if (base.source.kind != SideFacts::Folder) ++rememberedFiles_;
        }
        if (PlanWork::Present(s)) ++present_[0];
        if (PlanWork::Present(t)) ++present_[1];
        if (s.excluded != 0 || t.excluded != 0) {
            work_.decisions[row] = Decision::Nothing;
            if (matched) have = cursor->Next(base);
            continue;
        }
        const SideFacts a = FactsOfEntry(s);
        const SideFacts b = FactsOfEntry(t);
        const Change changeA = ChangeOf(a, matched ? &base.source : nullptr, work_.input);
        const Change changeB = ChangeOf(b, matched ? &base.target : nullptr, work_.input);
        for (int side = 0; side < 2; ++side) {
            const Change change = side == 0 ? changeA : changeB;
            const SideFacts& now = side == 0 ? a : b;
            const SideFacts& was = side == 0 ? base.source : base.target;
            if (change == Change::New) work_.newRows[side].push_back(row);
            if (change == Change::Deleted) work_.gone[side].push_back({base, row});
            if (change == Change::Modified && now.kind == was.kind && now.size == was.size &&
                now.kind != SideFacts::Folder) {
                ++timeOnly_[side];
            }
        }
        const bool equalNow = PlanWork::Present(s) && PlanWork::Present(t) &&
                              s.IsFolder() == t.IsFolder() &&
                              (s.status == EntryStatus::Matched || s.IsFolder());
        work_.decisions[row] = Decide(changeA, changeB, equalNow);
        if (work_.decisions[row] == Decision::Conflict) {
            TwoWayConflict conflict;
            conflict.row = row;
            conflict.kind = matched ? ConflictKind::BothChanged : ConflictKind::BothNew;
            conflict.hasBase = matched;
            if (matched) {
                conflict.baseSource = base.source;
                conflict.baseTarget = base.target;
            }
            conflict.source = a;
            conflict.target = b;
            work_.conflicts[row] = conflict;
        }
        if (matched && PlanWork::Present(s) && PlanWork::Present(t)) renames_.CaseRename(row, base);
        if (matched) have = cursor->Next(base);
    }
    while (have)
        vanished();
    if (cursor && !cursor->Problem().empty()) damaged_ = cursor->Problem();
}

TwoWayOutcome Planner::Guards() {
    if (remembered_ == 0 || work_.input.firstSync) return {};
    const std::string roots[2] = {work_.input.sourceRoot, work_.input.targetRoot};
    const std::string now[2] = {work_.input.sourceIdentity, work_.input.targetIdentity};
    const char* names[2] = {"Source", "Target"};
    for (int side = 0; side < 2; ++side) {
        const std::string was = memory_.Identity(side == 0);
        if (!was.empty() && !now[side].empty() && was != now[side]) {
            return TwoWayOutcome(
                TwoWayStatus::Refused,
                std::string("The ") + names[side] + " folder " + EscapeName(roots[side]) +
                    " is not the one this pair was last synchronised with (then: " + was +
                    "; now: " + now[side] +
                    "): a wrong mount, or another disk. Nothing was changed. Add "
                    "--first-sync to pair the folders anew (a first sync never deletes).");
        }
        if (present_[side] == 0) {
            return TwoWayOutcome(
                TwoWayStatus::Refused,
                std::string("The ") + names[side] + " folder " + EscapeName(roots[side]) +
                    " is empty, but the pair held " + std::to_string(remembered_) +
                    " objects at the last synchronisation: an unplugged disk or an empty "
                    "mount point would delete them all. Nothing was changed. Add "
                    "--first-sync to pair the folders anew (a first sync never deletes).");
        }
        if (rememberedFiles_ >= 10 && timeOnly_[side] * 10 >= rememberedFiles_ * 9) {
            return TwoWayOutcome(
                TwoWayStatus::Refused,
                std::string("Nearly every file in ") + names[side] + " " + EscapeName(roots[side]) +
                    " changed its time and nothing else (" + std::to_string(timeOnly_[side]) +
                    " of " + std::to_string(rememberedFiles_) +
                    "): a time zone or a summer time shift, not edits. Nothing was changed. "
                    "Add --ignore-dst when the shift is one hour; for another shift, "
                    "--first-sync pairs the folders anew (nothing is deleted, and files that "
                    "differ are left as conflicts).");
        }
    }
    return {};
}

// A folder deleted on one side goes on the other only when nothing below it
// there is new or changed; otherwise it stays, with that content, and the
// rest below it is deleted.
void Planner::FolderDeletions() {
    struct Open {
        std::string prefix;
        uint32_t row;
        Decision deletion;
        bool kept;
    };
    std::vector<Open> open;
    const auto finish = [&](uint32_t end) {
        Open done = std::move(open.back());
        open.pop_back();
        if (done.kept) {
            work_.decisions[done.row] = Decision::KeepFolder;
            work_.plan.twoWay.keptFolders.push_back(done.row);
            for (Open& above : open)
                above.kept = true;
            return;
        }
        // The deletion takes the folder's content object by object, deepest
        // last, and the folder once it is empty.
        static_cast<void>(end);
    };
    for (uint32_t row = 0; row < work_.rows; ++row) {
        const std::string path = work_.RowPath(row);
        while (!open.empty() && !path.starts_with(open.back().prefix))
            finish(row);
        for (Open& above : open) {
            const Decision d = work_.decisions[row];
            if (d != above.deletion && d != Decision::Absorbed && d != Decision::Renamed)
                above.kept = true;
        }
        const Decision d = work_.decisions[row];
        if ((d == Decision::DeleteTarget || d == Decision::DeleteSource) && work_.RowIsFolder(row))
            open.push_back({path + "/", row, d, false});
    }
    while (!open.empty())
        finish(work_.rows);
}

void Planner::Settle(TwoWayConflict& conflict) {
    const SideFacts& a = conflict.source;
    const SideFacts& b = conflict.target;
    std::optional<bool> sourceWins;
    switch (work_.input.prefer) {
        case ConflictPreference::Source:
            sourceWins = true;
            break;
        case ConflictPreference::Target:
            sourceWins = false;
            break;
        case ConflictPreference::Newer:
        case ConflictPreference::None:
            if (work_.input.prefer == ConflictPreference::None && !work_.input.keepBoth) break;
            if (a.lastWrite != b.lastWrite) sourceWins = a.lastWrite > b.lastWrite;
            break;
        case ConflictPreference::Older:
            if (a.lastWrite != b.lastWrite) sourceWins = a.lastWrite < b.lastWrite;
            break;
        case ConflictPreference::Larger:
            if (a.size != b.size) sourceWins = a.size > b.size;
            break;
        case ConflictPreference::Smaller:
            if (a.size != b.size) sourceWins = a.size < b.size;
            break;
    }
    // A file and a folder of one name never share a row, so only files (or
    // names renamed apart) get here.
    if (!sourceWins) return;
    work_.plan.twoWay.conflicts.push_back(conflict);
    const Settlement how = work_.input.keepBoth ? Settlement::KeepBoth
                           : *sourceWins        ? Settlement::KeepSource
                                                : Settlement::KeepTarget;
    SettleConflict(work_.plan, work_.plan.twoWay.conflicts.size() - 1, how, !*sourceWins,
                   work_.source, work_.target, work_.input.conflictStamp);
    conflict = work_.plan.twoWay.conflicts.back();
    work_.plan.twoWay.conflicts.pop_back();
}

void Planner::Emit() {
    TwoWayPart& part = work_.plan.twoWay;
    for (uint32_t row = 0; row < work_.rows; ++row) {
        switch (work_.decisions[row]) {
            case Decision::ToTarget:
                work_.plan.copyToTarget.push_back(row);
                break;
            case Decision::ToSource:
                work_.plan.copyToSource.push_back(row);
                break;
            case Decision::DeleteTarget:
                if (!part.firstSync) work_.plan.deleteInTarget.push_back(row);
                break;
            case Decision::DeleteSource:
                if (!part.firstSync) part.deleteInSource.push_back(row);
                break;
            case Decision::Adopt:
                part.adopt.push_back(row);
                break;
            case Decision::Conflict: {
                TwoWayConflict conflict = work_.conflicts[row];
                Settle(conflict);
                part.conflicts.push_back(conflict);
                break;
            }
            case Decision::Nothing:
            case Decision::Renamed:
            case Decision::Absorbed:
            case Decision::KeepFolder:
                break;
        }
    }
    // Vanished from both sides and not renamed: forgotten.
    std::vector<std::string> renamedFrom;
    for (const RenameStep& step : part.renames)
        renamedFrom.push_back(step.from);
    // A names conflict left as it is stays one on the next run.
    for (const TwoWayConflict& conflict : part.conflicts) {
        if (conflict.kind == ConflictKind::RenamedApart && conflict.settled == Settlement::Left)
            renamedFrom.push_back(conflict.renamedFrom);
    }
    for (const Gone& g : work_.gone[0]) {
        if (g.row != kNoRow) continue;
        const std::string_view plain = PlainPath(g.memory.path);
        const bool renamed =
            std::any_of(renamedFrom.begin(), renamedFrom.end(), [&](const std::string& from) {
                return plain == from || plain.starts_with(from + "/");
            });
        if (!renamed) part.forget.push_back(g.memory.path);
    }
    std::sort(work_.plan.copyToTarget.begin(), work_.plan.copyToTarget.end());
    std::sort(work_.plan.copyToSource.begin(), work_.plan.copyToSource.end());
}

TwoWayOutcome Planner::Run() {
    work_.plan.twoWay.active = true;
    work_.plan.twoWay.firstSync = work_.input.firstSync || memory_.Empty();
    work_.plan.twoWay.lastSync = work_.plan.twoWay.firstSync ? 0 : memory_.LastSync();
    Walk();
    if (!damaged_.empty()) return TwoWayOutcome(TwoWayStatus::Damaged, damaged_);
    if (TwoWayOutcome refused = Guards(); !refused.Ok()) return refused;
    if (!work_.plan.twoWay.firstSync) renames_.Find();
    FolderDeletions();
    Emit();
    return {};
}

}  // namespace

TwoWayOutcome PlanTwoWay(const FileList& source, const FileList& target, PairMemory& memory,
                         const TwoWayInput& input, SyncPlan& plan) {
    plan = SyncPlan();
    return Planner(source, target, memory, input, plan).Run();
}

}  // namespace ravelmoor
