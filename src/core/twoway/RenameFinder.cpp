#include "core/twoway/RenameFinder.h"

#include <map>
#include <set>
#include <unordered_map>

#include "core/twoway/FactsOfEntry.h"
#include "core/twoway/ScanOrder.h"

namespace ravelmoor {

// A name whose case alone changed on one side pairs with the other side's
// old spelling in one row: the other side takes the new spelling.
void RenameFinder::CaseRename(uint32_t row, const MemoryRow& base) {
    const std::string s = StoredPath(work_.source.ElementAt(row));
    const std::string t = StoredPath(work_.target.ElementAt(row));
    if (s == t || (s != base.path && t != base.path)) return;
    const bool renamedOnSource = t == base.path;
    RenameStep step;
    step.onSource = !renamedOnSource;
    step.from = std::string(PlainPath(renamedOnSource ? t : s));
    step.to = std::string(PlainPath(renamedOnSource ? s : t));
    step.folder = IsStoredFolder(s);
    work_.plan.twoWay.renames.push_back(std::move(step));
    const uint32_t end = work_.SubtreeEnd(row);
    for (uint32_t r = row; r < end; ++r)
        work_.decisions[r] = Decision::Renamed;
}

void RenameFinder::FolderRenames(bool onSource, std::vector<Candidate>& found) {
    const int side = onSource ? 0 : 1;
    const std::vector<Gone>& gone = work_.gone[side];
    // Votes for (old folder, new folder): the paths without the part both end in.
    std::map<std::pair<std::string, std::string>, size_t> votes;
    for (const Candidate& c : found) {
        if (c.onSource != onSource) continue;
        const std::string_view from = PlainPath(gone[c.gone].memory.path);
        const std::string to = work_.Entry(onSource, c.toRow).path.str();
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
        for (const uint32_t row : work_.newRows[side]) {
            const FileEntry& entry = work_.Entry(onSource, row);
            if (entry.IsFolder() && entry.path == to) {
                folders.push_back({onSource, folder, row});
                break;
            }
        }
    }
    found.insert(found.begin(), folders.begin(), folders.end());
}

void RenameFinder::Find() {
    std::vector<Candidate> found;
    for (int side = 0; side < 2; ++side) {
        const bool onSource = side == 0;
        std::vector<Gone>& gone = work_.gone[side];
        if (gone.empty() || work_.newRows[side].empty()) continue;
        const bool local = onSource ? work_.input.sourceLocal : work_.input.targetLocal;
        const std::string& folder = onSource ? work_.input.sourceFolder : work_.input.targetFolder;
        FileSystem* fs = onSource ? work_.input.sourceFs : work_.input.targetFs;
        // Rows kept with an inode are known by it (a local side's, or a
        // server's told by its listing agent); a server's rows without one
        // by size, time and name.
        std::unordered_multimap<uint64_t, size_t> byInode;
        std::unordered_multimap<uint64_t, size_t> bySize;
        for (size_t g = 0; g < gone.size(); ++g) {
            const SideFacts& was = onSource ? gone[g].memory.source : gone[g].memory.target;
            if (was.inode != 0) {
                byInode.emplace(was.inode, g);
            } else if (!local && was.kind == SideFacts::File) {
                bySize.emplace(was.size, g);
            }
        }
        for (const uint32_t row : work_.newRows[side]) {
            const FileEntry& entry = work_.Entry(onSource, row);
            SideFacts now = FactsOfEntry(entry);
            if (!byInode.empty()) now = WithIdentity(now, fs, local, entry.FullPath(folder));
            size_t match = SIZE_MAX;
            size_t matches = 0;
            const auto [begin, end] = byInode.equal_range(now.inode);
            for (auto it = begin; now.inode != 0 && it != end; ++it) {
                const Gone& g = gone[it->second];
                if (now.SameIdentity(onSource ? g.memory.source : g.memory.target)) {
                    match = it->second;
                    ++matches;
                }
            }
            const auto [from, to] = bySize.equal_range(now.size);
            for (auto it = from; matches == 0 && it != to; ++it) {
                const Gone& g = gone[it->second];
                const SideFacts& was = onSource ? g.memory.source : g.memory.target;
                // Without an inode: the same size, time and name, and only one such.
                if (now.kind == SideFacts::File && now.lastWrite == was.lastWrite &&
                    entry.path.Name() ==
                        std::string_view(g.memory.path).substr(g.memory.path.rfind('/') + 1)) {
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
        const std::string from(PlainPath(work_.gone[c.onSource ? 0 : 1][c.gone].memory.path));
        const std::string to = work_.Entry(c.onSource, c.toRow).path.str();
        for (const Candidate& other : found) {
            if (&other == &c || other.onSource != c.onSource) continue;
            const std::string otherFrom(
                PlainPath(work_.gone[other.onSource ? 0 : 1][other.gone].memory.path));
            const std::string otherTo = work_.Entry(other.onSource, other.toRow).path.str();
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
        if (!c.onSource) targetRenames.emplace(PlainPath(work_.gone[1][c.gone].memory.path), &c);
    }
    for (const Candidate& c : found) {
        if (!c.onSource || targetRenames.empty()) continue;
        const Gone& g = work_.gone[0][c.gone];
        const std::string from(PlainPath(g.memory.path));
        const auto other = targetRenames.find(from);
        if (other == targetRenames.end()) continue;
        const Candidate& d = *other->second;
        const FileEntry& sourceNow = work_.Entry(true, c.toRow);
        const FileEntry& targetNow = work_.Entry(false, d.toRow);
        if (sourceNow.path == targetNow.path || covered(c) || covered(d)) continue;
        apart.insert(&c);
        apart.insert(&d);
        for (const uint32_t start : {c.toRow, d.toRow}) {
            const uint32_t end = work_.SubtreeEnd(start);
            for (uint32_t r = start; r < end; ++r)
                work_.decisions[r] = Decision::Renamed;
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
        work_.decisions[c.toRow] = Decision::Conflict;
        work_.conflicts[c.toRow] = std::move(conflict);
    }
    for (const Candidate& c : found) {
        if (apart.contains(&c) || covered(c)) continue;
        const int side = c.onSource ? 0 : 1;
        const Gone& g = work_.gone[side][c.gone];
        const std::string from(PlainPath(g.memory.path));
        const FileEntry& moved = work_.Entry(c.onSource, c.toRow);
        const std::string to = moved.path.str();
        if (work_.decisions[c.toRow] == Decision::Renamed) continue;
        // The other side: its object at the old path, and nothing at the new one.
        const FileEntry& otherAtTo = work_.Entry(!c.onSource, c.toRow);
        const bool otherHasFrom =
            g.row != kNoRow && PlanWork::Present(work_.Entry(!c.onSource, g.row));
        RenameStep step;
        step.onSource = !c.onSource;
        step.from = from;
        step.to = to;
        step.folder = moved.IsFolder();
        if (!otherHasFrom && PlanWork::Present(otherAtTo) && g.row == kNoRow) {
            // Renamed alike on both sides (or a run stopped after the rename).
            const SideFacts& otherWas = c.onSource ? g.memory.target : g.memory.source;
            SideFacts otherNow = FactsOfEntry(otherAtTo);
            const std::string& otherFolder =
                c.onSource ? work_.input.targetFolder : work_.input.sourceFolder;
            otherNow =
                WithIdentity(otherNow, c.onSource ? work_.input.targetFs : work_.input.sourceFs,
                             c.onSource ? work_.input.targetLocal : work_.input.sourceLocal,
                             otherAtTo.FullPath(otherFolder));
            if (!otherNow.SameIdentity(otherWas) &&
                !(otherNow.inode == 0 && otherNow.SameAs(otherWas))) {
                continue;
            }
            step.memoryOnly = true;
        } else if (!otherHasFrom || PlanWork::Present(otherAtTo)) {
            continue;  // deleted or taken on the other side: the rows decide alone
        }
        const uint32_t toEnd = work_.SubtreeEnd(c.toRow);
        for (uint32_t r = c.toRow; r < toEnd; ++r)
            work_.decisions[r] = Decision::Renamed;
        if (g.row != kNoRow) {
            const uint32_t fromEnd = work_.SubtreeEnd(g.row);
            for (uint32_t r = g.row; r < fromEnd; ++r)
                work_.decisions[r] = Decision::Renamed;
        }
        if (!step.memoryOnly) EditsBelow(c, g, from, to);
        work_.plan.twoWay.renames.push_back(std::move(step));
    }
    for (auto it = work_.conflicts.begin(); it != work_.conflicts.end();) {
        it = work_.decisions[it->first] == Decision::Renamed ? work_.conflicts.erase(it)
                                                             : std::next(it);
    }
}

void RenameFinder::EditsBelow(const Candidate& c, const Gone& g, const std::string& from,
                              const std::string& to) {
    // Per path below the rename (relative to it): the renamed side's object
    // under the new name, the other side's under the old one, and the
    // memory's row of the old one.
    struct Three {
        SideFacts moved;
        SideFacts stayed;
        const MemoryRow* base = nullptr;
    };
    std::map<std::string, Three> below;
    const auto add = [&](bool onSource, uint32_t start, size_t prefix, bool moved) {
        const uint32_t end = work_.SubtreeEnd(start);
        for (uint32_t r = start; r < end; ++r) {
            const FileEntry& entry = work_.Entry(onSource, r);
            if (!PlanWork::Present(entry) || entry.excluded != 0) continue;
            Three& three = below[entry.path.str().substr(prefix)];
            (moved ? three.moved : three.stayed) = FactsOfEntry(entry);
        }
    };
    add(c.onSource, c.toRow, to.size(), true);
    add(!c.onSource, g.row, from.size(), false);
    for (const Gone& lost : work_.gone[c.onSource ? 0 : 1]) {
        const std::string_view plain = PlainPath(lost.memory.path);
        if (plain == from || (plain.starts_with(from) && plain[from.size()] == '/')) {
            const auto it = below.find(std::string(plain.substr(from.size())));
            if (it != below.end()) it->second.base = &lost.memory;
        }
    }
    const TwoWayInput& rules = work_.input;
    for (const auto& [relative, three] : below) {
        const SideFacts& a = c.onSource ? three.moved : three.stayed;
        const SideFacts& b = c.onSource ? three.stayed : three.moved;
        const bool known = three.base != nullptr;
        const Change changeA = ChangeOf(a, known ? &three.base->source : nullptr, rules);
        const Change changeB = ChangeOf(b, known ? &three.base->target : nullptr, rules);
        // Seen ahead, without the comparison's pairing: alike by kind, size and time.
        const bool equalNow = a.Present() && b.Present() && a.kind == b.kind &&
                              (a.kind == SideFacts::Folder ||
                               a.SameAs(b, rules.toleranceSeconds, rules.ignoreOneHour));
        EditBelowRename edit;
        switch (Decide(changeA, changeB, equalNow)) {
            case Decision::ToTarget:
                edit.kind = EditBelowRename::CopyToTarget;
                break;
            case Decision::ToSource:
                edit.kind = EditBelowRename::CopyToSource;
                break;
            case Decision::DeleteTarget:
                edit.kind = EditBelowRename::DeleteInTarget;
                break;
            case Decision::DeleteSource:
                edit.kind = EditBelowRename::DeleteInSource;
                break;
            case Decision::Conflict:
                edit.kind = EditBelowRename::Conflict;
                break;
            default:
                continue;
        }
        edit.path = to + relative;
        if (a.kind == SideFacts::Folder || b.kind == SideFacts::Folder) edit.path.push_back('/');
        work_.plan.twoWay.belowRenames.push_back(std::move(edit));
    }
}

}  // namespace ravelmoor
