#include "core/twoway/TwoWayPlan.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "core/engine/FileList.h"
#include "core/engine/NameEscape.h"
#include "core/twoway/PairMemory.h"
#include "core/twoway/ScanOrder.h"

namespace ravelmoor {
namespace {

constexpr uint32_t kNoRow = UINT32_MAX;

// What became of one side's object since the last sync.
enum class Change : uint8_t { None, Same, Modified, New, Deleted };

enum class Decision : uint8_t {
    Nothing,
    ToTarget,
    ToSource,
    DeleteTarget,
    DeleteSource,
    Adopt,
    Conflict,
    Renamed,   // part of a rename: carried out by it, reconciled after it
    Absorbed,  // inside a folder deleted whole
    KeepFolder,
};

Change ChangeOf(const SideFacts& now, const SideFacts* base, const TwoWayInput& rules) {
    if (base == nullptr || !base->Present()) return now.Present() ? Change::New : Change::None;
    if (!now.Present()) return Change::Deleted;
    return now.SameAs(*base, rules.toleranceSeconds, rules.ignoreOneHour) ? Change::Same
                                                                          : Change::Modified;
}

bool Changed(Change change) {
    return change == Change::Modified || change == Change::New;
}

Decision Decide(Change a, Change b, bool equalNow) {
    if (equalNow)
        return a == Change::Same && b == Change::Same ? Decision::Nothing : Decision::Adopt;
    if (Changed(a) && (b == Change::Same || b == Change::None || b == Change::Deleted))
        return Decision::ToTarget;
    if (Changed(b) && (a == Change::Same || a == Change::None || a == Change::Deleted))
        return Decision::ToSource;
    if (a == Change::Deleted && b == Change::Same) return Decision::DeleteTarget;
    if (b == Change::Deleted && a == Change::Same) return Decision::DeleteSource;
    if (Changed(a) && Changed(b)) return Decision::Conflict;
    // Unchanged on both and yet different: the comparison's rules changed.
    if (a == Change::Same && b == Change::Same) return Decision::Conflict;
    return Decision::Nothing;
}

// A path of the memory that vanished from one side, and its row in the lists
// (none when it vanished from both).
struct Gone {
    MemoryRow memory;
    uint32_t row = kNoRow;
};

struct Candidate {
    bool onSource;
    size_t gone;     // index into that side's vanished paths
    uint32_t toRow;  // the row where it is now
};

class Planner {
  public:
    Planner(const FileList& source, const FileList& target, PairMemory& memory,
            const TwoWayInput& input, SyncPlan& plan)
        : source_(source),
          target_(target),
          memory_(memory),
          input_(input),
          plan_(plan),
          rows_(std::min(source.GetSize(), target.GetSize())),
          decisions_(rows_) {}

    TwoWayOutcome Run();

  private:
    const FileEntry& Entry(bool onSource, uint32_t row) const {
        return onSource ? source_.ElementAt(row) : target_.ElementAt(row);
    }
    static bool Present(const FileEntry& entry) {
        return !entry.IsBlank() && entry.status != EntryStatus::Missing;
    }
    std::string RowPath(uint32_t row) const {
        const FileEntry& s = source_.ElementAt(row);
        return Present(s) ? s.path.str() : target_.ElementAt(row).path.str();
    }
    bool RowIsFolder(uint32_t row) const {
        const FileEntry& s = source_.ElementAt(row);
        return Present(s) ? s.IsFolder() : target_.ElementAt(row).IsFolder();
    }
    uint32_t SubtreeEnd(uint32_t row) const;
    // A side without inodes: a folder whose every remembered file turned up,
    // by name, size and time, below one new folder under the same relative
    // paths was renamed whole. Its candidate goes first, so that the files'
    // own are seen to be covered by it at once.
    void FolderRenames(bool onSource, std::vector<Candidate>& found);
    void Walk();
    TwoWayOutcome Guards();
    void FindRenames();
    void CaseRenames(uint32_t row, const MemoryRow& base);
    void FolderDeletions();
    void Emit();
    void Settle(TwoWayConflict& conflict);

    const FileList& source_;
    const FileList& target_;
    PairMemory& memory_;
    const TwoWayInput& input_;
    SyncPlan& plan_;
    uint32_t rows_;
    std::vector<Decision> decisions_;
    std::vector<Gone> gone_[2];  // [0] Source, [1] Target
    std::vector<uint32_t> newRows_[2];
    std::unordered_map<uint32_t, TwoWayConflict> conflicts_;
    std::string damaged_;
    size_t present_[2] = {0, 0};
    size_t remembered_ = 0;
    size_t rememberedFiles_ = 0;
    size_t timeOnly_[2] = {0, 0};
};

uint32_t Planner::SubtreeEnd(uint32_t row) const {
    if (!RowIsFolder(row)) return row + 1;
    const std::string prefix = RowPath(row) + "/";
    uint32_t end = row + 1;
    while (end < rows_) {
        const FileEntry& s = source_.ElementAt(end);
        const FileEntry& e = Present(s) ? s : target_.ElementAt(end);
        std::string path = e.path.str();
        if (!path.starts_with(prefix)) break;
        ++end;
    }
    return end;
}

void Planner::Walk() {
    const bool useMemory = !input_.firstSync && !plan_.twoWay.firstSync;
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
        gone_[0].push_back({base, kNoRow});
        gone_[1].push_back({base, kNoRow});
        have = cursor->Next(base);
    };
    for (uint32_t row = 0; row < rows_; ++row) {
        const FileEntry& s = source_.ElementAt(row);
        const FileEntry& t = target_.ElementAt(row);
        const std::string sourceKey = Present(s) ? StoredPath(s) : std::string();
        const std::string targetKey = Present(t) ? StoredPath(t) : std::string();
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
        if (Present(s)) ++present_[0];
        if (Present(t)) ++present_[1];
        if (s.excluded != 0 || t.excluded != 0) {
            decisions_[row] = Decision::Nothing;
            if (matched) have = cursor->Next(base);
            continue;
        }
        const SideFacts a = FactsOfEntry(s);
        const SideFacts b = FactsOfEntry(t);
        const Change changeA = ChangeOf(a, matched ? &base.source : nullptr, input_);
        const Change changeB = ChangeOf(b, matched ? &base.target : nullptr, input_);
        for (int side = 0; side < 2; ++side) {
            const Change change = side == 0 ? changeA : changeB;
            const SideFacts& now = side == 0 ? a : b;
            const SideFacts& was = side == 0 ? base.source : base.target;
            if (change == Change::New) newRows_[side].push_back(row);
            if (change == Change::Deleted) gone_[side].push_back({base, row});
            if (change == Change::Modified && now.kind == was.kind && now.size == was.size &&
                now.kind != SideFacts::Folder) {
                ++timeOnly_[side];
            }
        }
        const bool equalNow = Present(s) && Present(t) && s.IsFolder() == t.IsFolder() &&
                              (s.status == EntryStatus::Matched || s.IsFolder());
        decisions_[row] = Decide(changeA, changeB, equalNow);
        if (decisions_[row] == Decision::Conflict) {
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
            conflicts_[row] = conflict;
        }
        if (matched && Present(s) && Present(t)) CaseRenames(row, base);
        if (matched) have = cursor->Next(base);
    }
    while (have)
        vanished();
    if (cursor && !cursor->Problem().empty()) damaged_ = cursor->Problem();
}

// A name whose case alone changed on one side pairs with the other side's
// old spelling in one row: the other side takes the new spelling.
void Planner::CaseRenames(uint32_t row, const MemoryRow& base) {
    const std::string s = StoredPath(source_.ElementAt(row));
    const std::string t = StoredPath(target_.ElementAt(row));
    if (s == t || (s != base.path && t != base.path)) return;
    const bool renamedOnSource = t == base.path;
    RenameStep step;
    step.onSource = !renamedOnSource;
    step.from = std::string(PlainPath(renamedOnSource ? t : s));
    step.to = std::string(PlainPath(renamedOnSource ? s : t));
    step.folder = IsStoredFolder(s);
    plan_.twoWay.renames.push_back(std::move(step));
    const uint32_t end = SubtreeEnd(row);
    for (uint32_t r = row; r < end; ++r)
        decisions_[r] = Decision::Renamed;
}

TwoWayOutcome Planner::Guards() {
    if (remembered_ == 0 || input_.firstSync) return {};
    const std::string roots[2] = {input_.sourceRoot, input_.targetRoot};
    const std::string now[2] = {input_.sourceIdentity, input_.targetIdentity};
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

void Planner::FolderRenames(bool onSource, std::vector<Candidate>& found) {
    const int side = onSource ? 0 : 1;
    const std::vector<Gone>& gone = gone_[side];
    // Votes for (old folder, new folder): the paths without the part both end in.
    std::map<std::pair<std::string, std::string>, size_t> votes;
    for (const Candidate& c : found) {
        if (c.onSource != onSource) continue;
        const std::string_view from = PlainPath(gone[c.gone].memory.path);
        const std::string to = Entry(onSource, c.toRow).path.str();
        size_t i = from.size();
        size_t j = to.size();
        while (i > 0 && j > 0 && from[i - 1] == to[j - 1]) {
            --i;
            --j;
        }
        // Back to the start of a name shared whole.
        while (i < from.size() && from[i] != '/') {
            ++i;
            ++j;
        }
        if (i == 0 || j == 0 || i >= from.size() || from[i] != '/') continue;
        ++votes[{std::string(from.substr(0, i)), to.substr(0, j)}];
    }
    std::vector<Candidate> folders;
    for (const auto& [paths, count] : votes) {
        const auto& [from, to] = paths;
        const std::string below = from + "/";
        size_t folder = SIZE_MAX;
        size_t files = 0;
        for (size_t g = 0; g < gone.size(); ++g) {
            const MemoryRow& row = gone[g].memory;
            if (row.path == below) folder = g;
            const SideFacts& was = onSource ? row.source : row.target;
            if (row.path.starts_with(below) && was.kind == SideFacts::File) ++files;
        }
        if (folder == SIZE_MAX || files != count) continue;
        for (const uint32_t row : newRows_[side]) {
            const FileEntry& entry = Entry(onSource, row);
            if (entry.IsFolder() && entry.path == to) {
                folders.push_back({onSource, folder, row});
                break;
            }
        }
    }
    found.insert(found.begin(), folders.begin(), folders.end());
}

void Planner::FindRenames() {
    std::vector<Candidate> found;
    for (int side = 0; side < 2; ++side) {
        const bool onSource = side == 0;
        std::vector<Gone>& gone = gone_[side];
        if (gone.empty() || newRows_[side].empty()) continue;
        const bool local = onSource ? input_.sourceLocal : input_.targetLocal;
        const std::string& root = onSource ? input_.sourceRoot : input_.targetRoot;
        std::unordered_multimap<uint64_t, size_t> byKey;
        for (size_t g = 0; g < gone.size(); ++g) {
            const SideFacts& was = onSource ? gone[g].memory.source : gone[g].memory.target;
            if (local && was.inode != 0) byKey.emplace(was.inode, g);
            if (!local && was.kind == SideFacts::File) byKey.emplace(was.size, g);
        }
        for (const uint32_t row : newRows_[side]) {
            const FileEntry& entry = Entry(onSource, row);
            SideFacts now = FactsOfEntry(entry);
            if (local) now = WithLocalIdentity(now, entry.FullPath(root));
            const auto [begin, end] = byKey.equal_range(local ? now.inode : now.size);
            size_t match = SIZE_MAX;
            size_t matches = 0;
            for (auto it = begin; it != end; ++it) {
                const Gone& g = gone[it->second];
                const SideFacts& was = onSource ? g.memory.source : g.memory.target;
                // Without an inode: the same size, time and name, and only one such.
                const bool same =
                    local ? now.SameIdentity(was)
                          : now.kind == SideFacts::File && now.lastWrite == was.lastWrite &&
                                entry.path.Name() == std::string_view(g.memory.path)
                                                         .substr(g.memory.path.rfind('/') + 1);
                if (same) {
                    match = it->second;
                    ++matches;
                }
            }
            if (matches == 1) found.push_back({onSource, match, row});
        }
        if (!local) FolderRenames(onSource, found);
    }
    // A file that moved with its folder is the folder's rename.
    const auto covered = [&](const Candidate& c) {
        const std::string from(PlainPath(gone_[c.onSource ? 0 : 1][c.gone].memory.path));
        const std::string to = Entry(c.onSource, c.toRow).path.str();
        for (const Candidate& other : found) {
            if (&other == &c || other.onSource != c.onSource) continue;
            const std::string otherFrom(
                PlainPath(gone_[other.onSource ? 0 : 1][other.gone].memory.path));
            const std::string otherTo = Entry(other.onSource, other.toRow).path.str();
            if (from.starts_with(otherFrom + "/") && to.starts_with(otherTo + "/") &&
                from.substr(otherFrom.size()) == to.substr(otherTo.size())) {
                return true;
            }
        }
        return false;
    };
    // One object renamed to different names on the two sides: a conflict of
    // names, both left as they are until it is settled.
    std::set<const Candidate*> apart;
    std::unordered_map<std::string, const Candidate*> targetRenames;
    for (const Candidate& c : found) {
        if (!c.onSource) targetRenames.emplace(PlainPath(gone_[1][c.gone].memory.path), &c);
    }
    for (const Candidate& c : found) {
        if (!c.onSource || targetRenames.empty()) continue;
        const Gone& g = gone_[0][c.gone];
        const std::string from(PlainPath(g.memory.path));
        const auto other = targetRenames.find(from);
        if (other == targetRenames.end()) continue;
        const Candidate& d = *other->second;
        const FileEntry& sourceNow = Entry(true, c.toRow);
        const FileEntry& targetNow = Entry(false, d.toRow);
        if (sourceNow.path == targetNow.path || covered(c) || covered(d)) continue;
        apart.insert(&c);
        apart.insert(&d);
        for (const uint32_t start : {c.toRow, d.toRow}) {
            const uint32_t end = SubtreeEnd(start);
            for (uint32_t r = start; r < end; ++r)
                decisions_[r] = Decision::Renamed;
        }
        TwoWayConflict conflict;
        conflict.row = c.toRow;
        conflict.kind = ConflictKind::RenamedApart;
        conflict.hasBase = true;
        conflict.baseSource = g.memory.source;
        conflict.baseTarget = g.memory.target;
        conflict.source = FactsOfEntry(sourceNow);
        conflict.target = FactsOfEntry(targetNow);
        conflict.targetRow = d.toRow;
        conflict.sourcePath = sourceNow.path.str();
        conflict.targetPath = targetNow.path.str();
        conflict.renamedFrom = from;
        conflict.folder = sourceNow.IsFolder();
        decisions_[c.toRow] = Decision::Conflict;
        conflicts_[c.toRow] = std::move(conflict);
    }
    for (const Candidate& c : found) {
        if (apart.contains(&c) || covered(c)) continue;
        const int side = c.onSource ? 0 : 1;
        const Gone& g = gone_[side][c.gone];
        const std::string from(PlainPath(g.memory.path));
        const FileEntry& moved = Entry(c.onSource, c.toRow);
        const std::string to = moved.path.str();
        if (decisions_[c.toRow] == Decision::Renamed) continue;
        // The other side: its object at the old path, and nothing at the new one.
        const FileEntry& otherAtTo = Entry(!c.onSource, c.toRow);
        const bool otherHasFrom = g.row != kNoRow && Present(Entry(!c.onSource, g.row));
        RenameStep step;
        step.onSource = !c.onSource;
        step.from = from;
        step.to = to;
        step.folder = moved.IsFolder();
        if (!otherHasFrom && Present(otherAtTo) && g.row == kNoRow) {
            // Renamed alike on both sides (or a run stopped after the rename).
            const SideFacts& otherWas = c.onSource ? g.memory.target : g.memory.source;
            SideFacts otherNow = FactsOfEntry(otherAtTo);
            const std::string& otherRoot = c.onSource ? input_.targetRoot : input_.sourceRoot;
            if ((c.onSource ? input_.targetLocal : input_.sourceLocal))
                otherNow = WithLocalIdentity(otherNow, otherAtTo.FullPath(otherRoot));
            if (!otherNow.SameIdentity(otherWas) &&
                !(otherNow.inode == 0 && otherNow.SameAs(otherWas))) {
                continue;
            }
            step.memoryOnly = true;
        } else if (!otherHasFrom || Present(otherAtTo)) {
            continue;  // deleted or taken on the other side: the rows decide alone
        }
        const uint32_t toEnd = SubtreeEnd(c.toRow);
        for (uint32_t r = c.toRow; r < toEnd; ++r)
            decisions_[r] = Decision::Renamed;
        if (g.row != kNoRow) {
            const uint32_t fromEnd = SubtreeEnd(g.row);
            for (uint32_t r = g.row; r < fromEnd; ++r)
                decisions_[r] = Decision::Renamed;
        }
        plan_.twoWay.renames.push_back(std::move(step));
    }
    for (auto it = conflicts_.begin(); it != conflicts_.end();) {
        it = decisions_[it->first] == Decision::Renamed ? conflicts_.erase(it) : std::next(it);
    }
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
            decisions_[done.row] = Decision::KeepFolder;
            plan_.twoWay.keptFolders.push_back(done.row);
            for (Open& above : open)
                above.kept = true;
            return;
        }
        // The deletion takes the folder's content object by object, deepest
        // last, and the folder once it is empty.
        static_cast<void>(end);
    };
    for (uint32_t row = 0; row < rows_; ++row) {
        const std::string path = RowPath(row);
        while (!open.empty() && !path.starts_with(open.back().prefix))
            finish(row);
        for (Open& above : open) {
            const Decision d = decisions_[row];
            if (d != above.deletion && d != Decision::Absorbed && d != Decision::Renamed)
                above.kept = true;
        }
        const Decision d = decisions_[row];
        if ((d == Decision::DeleteTarget || d == Decision::DeleteSource) && RowIsFolder(row))
            open.push_back({path + "/", row, d, false});
    }
    while (!open.empty())
        finish(rows_);
}

void Planner::Settle(TwoWayConflict& conflict) {
    const SideFacts& a = conflict.source;
    const SideFacts& b = conflict.target;
    std::optional<bool> sourceWins;
    switch (input_.prefer) {
        case ConflictPreference::Source:
            sourceWins = true;
            break;
        case ConflictPreference::Target:
            sourceWins = false;
            break;
        case ConflictPreference::Newer:
        case ConflictPreference::None:
            if (input_.prefer == ConflictPreference::None && !input_.keepBoth) break;
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
    plan_.twoWay.conflicts.push_back(conflict);
    const Settlement how = input_.keepBoth ? Settlement::KeepBoth
                           : *sourceWins   ? Settlement::KeepSource
                                           : Settlement::KeepTarget;
    SettleConflict(plan_, plan_.twoWay.conflicts.size() - 1, how, !*sourceWins, source_, target_,
                   input_.conflictStamp);
    conflict = plan_.twoWay.conflicts.back();
    plan_.twoWay.conflicts.pop_back();
}

void Planner::Emit() {
    TwoWayPart& part = plan_.twoWay;
    for (uint32_t row = 0; row < rows_; ++row) {
        switch (decisions_[row]) {
            case Decision::ToTarget:
                plan_.copyToTarget.push_back(row);
                break;
            case Decision::ToSource:
                plan_.copyToSource.push_back(row);
                break;
            case Decision::DeleteTarget:
                if (!part.firstSync) plan_.deleteInTarget.push_back(row);
                break;
            case Decision::DeleteSource:
                if (!part.firstSync) part.deleteInSource.push_back(row);
                break;
            case Decision::Adopt:
                part.adopt.push_back(row);
                break;
            case Decision::Conflict: {
                TwoWayConflict conflict = conflicts_[row];
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
    for (const Gone& g : gone_[0]) {
        if (g.row != kNoRow) continue;
        const std::string_view plain = PlainPath(g.memory.path);
        const bool renamed =
            std::any_of(renamedFrom.begin(), renamedFrom.end(), [&](const std::string& from) {
                return plain == from || plain.starts_with(from + "/");
            });
        if (!renamed) part.forget.push_back(g.memory.path);
    }
    std::sort(plan_.copyToTarget.begin(), plan_.copyToTarget.end());
    std::sort(plan_.copyToSource.begin(), plan_.copyToSource.end());
}

TwoWayOutcome Planner::Run() {
    plan_.twoWay.active = true;
    plan_.twoWay.firstSync = input_.firstSync || memory_.Empty();
    plan_.twoWay.lastSync = plan_.twoWay.firstSync ? 0 : memory_.LastSync();
    Walk();
    if (!damaged_.empty()) return TwoWayOutcome(TwoWayStatus::Damaged, damaged_);
    if (TwoWayOutcome refused = Guards(); !refused.Ok()) return refused;
    if (!plan_.twoWay.firstSync) FindRenames();
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
