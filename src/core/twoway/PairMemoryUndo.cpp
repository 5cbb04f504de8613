#include <sqlite3.h>

#include <optional>
#include <utility>
#include <vector>

#include "core/engine/NameEscape.h"
#include "core/twoway/PairMemory.h"
#include "core/twoway/SqliteText.h"

// What a run changed in the memory, kept so that undoing the run puts it
// back: each row as it was before the run's first change to it, and each
// rename (one row however many rows it moved).

namespace ravelmoor {

MemoryOutcome PairMemory::Begin(const std::string& run, bool firstSync) {
    run_ = run;
    firstSyncRun_ = firstSync;
    if (!Exec("BEGIN")) {
        NoteError("written");
        return MemoryOutcome(MemoryStatus::Failed, problem_);
    }
    inTransaction_ = true;
    // Only the last runs can be undone: older records go.
    Exec("DELETE FROM undo WHERE run NOT IN (SELECT value FROM meta WHERE key LIKE 'run.%')");
    Exec("DELETE FROM move WHERE run NOT IN (SELECT value FROM meta WHERE key LIKE 'run.%')");
    if (firstSync) {
        // Undo of a first sync brings the memory back as it was: rows kept
        // by copying them under the run, which is cheaper than row by row.
        for (const char* sql :
             {"INSERT OR IGNORE INTO undo(run, path, facts) SELECT ?1, path, facts FROM folder "
              "WHERE facts IS NOT NULL",
              "INSERT OR IGNORE INTO undo(run, path, facts) SELECT ?1, folder.path || file.name, "
              "file.facts FROM file JOIN folder ON folder.id = file.parent"}) {
            sqlite3_stmt* keepAll = Prepare(sql);
            if (keepAll != nullptr) {
                BindText(keepAll, 1, run);
                sqlite3_step(keepAll);
            }
            sqlite3_finalize(keepAll);
        }
        SetMeta("first_sync_run", run);
    }
    SetMeta(("run." + run).c_str(), run);
    return Commit();
}

void PairMemory::Rekey(const std::string& from, const std::string& to, bool folder) {
    if (!inTransaction_) {
        Exec("BEGIN");
        inTransaction_ = true;
    }
    if (!run_.empty() && !firstSyncRun_) {
        // Undo moves the rows back: one row says so.
        sqlite3_stmt* note = Prepare(
            "INSERT INTO move(run, seq, source, destination, folder) VALUES(?1, (SELECT "
            "coalesce(max(seq), 0) + 1 FROM move WHERE run = ?1), ?2, ?3, ?4)");
        if (note == nullptr) return NoteError("written");
        BindText(note, 1, run_);
        BindText(note, 2, from);
        BindText(note, 3, to);
        sqlite3_bind_int(note, 4, folder ? 1 : 0);
        if (sqlite3_step(note) != SQLITE_DONE) NoteError("written");
        sqlite3_finalize(note);
    }
    MoveRows(from, to, folder);
}
void PairMemory::MoveRows(const std::string& from, const std::string& to, bool folder) {
    lastFolder_.clear();
    lastFolderId_ = 0;
    if (!folder) {
        std::string packed;
        if (!Facts(from, packed)) return;
        Store(from, nullptr);
        Store(to, &packed);
        return;
    }
    // A folder's rows and those of the folders below it follow it directly
    // in the scan order; the byte-exact prefix ends them. The files keep
    // their folders' numbers, so only the folders' rows change.
    const std::string first = from + "/";
    struct Moved {
        int64_t id;
        std::string path;
    };
    std::vector<Moved> moved;
    sqlite3_stmt* below = Prepare("SELECT id, path FROM folder WHERE path >= ?1 ORDER BY path");
    if (below == nullptr) return NoteError("written");
    BindText(below, 1, first);
    while (sqlite3_step(below) == SQLITE_ROW) {
        const std::string_view path = ColumnText(below, 1);
        if (!path.starts_with(first)) break;
        moved.push_back({sqlite3_column_int64(below, 0), std::string(path)});
    }
    sqlite3_finalize(below);
    sqlite3_stmt* rename = Prepare("UPDATE folder SET path = ?2 WHERE id = ?1");
    // A folder already kept under the new name takes the moved one's rows.
    sqlite3_stmt* merge = Prepare("UPDATE OR REPLACE file SET parent = ?2 WHERE parent = ?1");
    sqlite3_stmt* mergeFacts = Prepare(
        "UPDATE folder SET facts = coalesce((SELECT facts FROM folder WHERE id = ?1), facts) "
        "WHERE id = ?2");
    sqlite3_stmt* drop = Prepare("DELETE FROM folder WHERE id = ?1");
    if (rename == nullptr || merge == nullptr || mergeFacts == nullptr || drop == nullptr) {
        NoteError("written");
    } else {
        for (const Moved& m : moved) {
            const std::string path = to + "/" + m.path.substr(first.size());
            const int64_t there = FolderId(path, false);
            lastFolder_.clear();
            lastFolderId_ = 0;
            if (there == 0) {
                sqlite3_bind_int64(rename, 1, m.id);
                BindText(rename, 2, path);
                Step(rename);
                continue;
            }
            for (sqlite3_stmt* statement : {merge, mergeFacts}) {
                sqlite3_bind_int64(statement, 1, m.id);
                sqlite3_bind_int64(statement, 2, there);
                Step(statement);
            }
            sqlite3_bind_int64(drop, 1, m.id);
            Step(drop);
        }
    }
    for (sqlite3_stmt* statement : {rename, merge, mergeFacts, drop})
        sqlite3_finalize(statement);
}

MemoryOutcome PairMemory::RollBack(const std::string& run) {
    if (Meta(("run." + run).c_str()).empty()) {
        return MemoryOutcome(MemoryStatus::Failed, "The pair memory " + EscapeName(file_) +
                                                       " holds nothing of this run.");
    }
    Exec("BEGIN");
    inTransaction_ = true;
    // A first sync kept every earlier row: what is not among them is new.
    if (Meta("first_sync_run") == run) ForgetAll();
    sqlite3_stmt* kept = Prepare("SELECT path, facts FROM undo WHERE run = ?1");
    if (kept == nullptr) {
        NoteError("written");
    } else {
        BindText(kept, 1, run);
        std::vector<std::pair<std::string, std::optional<std::string>>> rows;
        while (sqlite3_step(kept) == SQLITE_ROW) {
            std::optional<std::string> facts;
            if (sqlite3_column_type(kept, 1) != SQLITE_NULL) facts = ColumnText(kept, 1);
            rows.emplace_back(ColumnText(kept, 0), std::move(facts));
        }
        sqlite3_finalize(kept);
        for (const auto& [path, facts] : rows)
            Store(path, facts ? &*facts : nullptr);
    }
    // The renames go back last first, once the rows changed under their
    // new names are as they were.
    sqlite3_stmt* moves =
        Prepare("SELECT source, destination, folder FROM move WHERE run = ?1 ORDER BY seq DESC");
    if (moves != nullptr) {
        BindText(moves, 1, run);
        std::vector<std::pair<std::pair<std::string, std::string>, bool>> back;
        while (sqlite3_step(moves) == SQLITE_ROW)
            back.push_back({{std::string(ColumnText(moves, 0)), std::string(ColumnText(moves, 1))},
                            sqlite3_column_int(moves, 2) != 0});
        sqlite3_finalize(moves);
        for (const auto& [paths, folder] : back)
            MoveRows(paths.second, paths.first, folder);
    }
    for (const char* sql : {"DELETE FROM undo WHERE run = ?1", "DELETE FROM move WHERE run = ?1"}) {
        sqlite3_stmt* done = Prepare(sql);
        if (done != nullptr) {
            BindText(done, 1, run);
            sqlite3_step(done);
        }
        sqlite3_finalize(done);
    }
    Exec("DELETE FROM meta WHERE key = 'first_sync_run'");
    sqlite3_stmt* forgetRun = Prepare("DELETE FROM meta WHERE key = ?1");
    if (forgetRun != nullptr) {
        BindText(forgetRun, 1, "run." + run);
        sqlite3_step(forgetRun);
    }
    sqlite3_finalize(forgetRun);
    return Commit();
}

}  // namespace ravelmoor
