#include "core/twoway/PairMemory.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "core/engine/NameEscape.h"
#include "core/settings/StateFolder.h"
#include "core/twoway/ScanOrder.h"

namespace ravelmoor {
namespace {

int CompareCollated(void* /*unused*/, int lengthA, const void* a, int lengthB, const void* b) {
    return CompareStoredPaths({static_cast<const char*>(a), static_cast<size_t>(lengthA)},
                              {static_cast<const char*>(b), static_cast<size_t>(lengthB)});
}

// How many changes one transaction gathers before it is written out.
constexpr size_t kChangesPerCommit = 256;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS entry(path TEXT PRIMARY KEY COLLATE scan, facts BLOB NOT NULL)"
    " WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS undo(run TEXT, path TEXT COLLATE scan, facts BLOB,"
    " PRIMARY KEY(run, path)) WITHOUT ROWID;"
    // A rename is kept as one row, however many rows it moved.
    "CREATE TABLE IF NOT EXISTS move(run TEXT, seq INTEGER, source TEXT, destination TEXT,"
    " folder INTEGER, PRIMARY KEY(run, seq)) WITHOUT ROWID;";

std::string Quoted(const std::string& file) {
    return EscapeName(file);
}

std::string Stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

void BindText(sqlite3_stmt* statement, int index, std::string_view text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

std::string_view ColumnText(sqlite3_stmt* statement, int column) {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
    return {data == nullptr ? "" : data,
            static_cast<size_t>(sqlite3_column_bytes(statement, column))};
}

}  // namespace

PairMemory::PairMemory() = default;

PairMemory::~PairMemory() {
    if (inTransaction_) Commit();
    Close();
}

void PairMemory::Close() {
    for (sqlite3_stmt* statement : {put_, forget_, find_, keep_})
        sqlite3_finalize(statement);
    put_ = forget_ = find_ = keep_ = nullptr;
    if (db_ != nullptr) sqlite3_close_v2(db_);
    db_ = nullptr;
    if (lockFd_ >= 0) close(lockFd_);
    lockFd_ = -1;
}

std::string PairMemory::FileFor(const std::string& sourceShown, const std::string& targetShown) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(sourceShown.data(), static_cast<qsizetype>(sourceShown.size())));
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(QByteArrayView(targetShown.data(), static_cast<qsizetype>(targetShown.size())));
    const std::string state = StateFolder();
    if (state.empty()) return {};
    return state + "/pairs/" + hash.result().toHex().left(32).toStdString() + ".db";
}

sqlite3_stmt* PairMemory::Prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) return nullptr;
    return statement;
}

bool PairMemory::Exec(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

void PairMemory::NoteError(const char* what) {
    if (problem_.empty()) {
        problem_ = "The pair memory " + Quoted(file_) + " could not be " + what + " (" +
                   sqlite3_errmsg(db_) + ").";
    }
}

MemoryOutcome PairMemory::SetAside(const std::string& why) {
    Close();
    const std::string aside = file_ + ".damaged-" + Stamp();
    std::error_code error;
    std::filesystem::rename(file_, aside, error);
    for (const char* suffix : {"-wal", "-shm"}) {
        std::error_code ignored;
        std::filesystem::rename(file_ + suffix, aside + suffix, ignored);
    }
    std::string message = "The pair memory " + Quoted(file_) + " can not be read (" + why + ")";
    message += error ? "." : "; it was set aside as " + Quoted(aside) + ".";
    message +=
        " Nothing was changed. Run again with --first-sync to start the pair anew "
        "(a first sync never deletes).";
    return MemoryOutcome(MemoryStatus::Damaged, message);
}

MemoryOutcome PairMemory::Open(const std::string& file) {
    file_ = file;
    if (file.empty()) {
        return MemoryOutcome(
            MemoryStatus::Failed,
            "There is no folder for the pair memory: neither XDG_STATE_HOME nor HOME is set.");
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), error);
    const std::string lock = file + ".lock";
    lockFd_ = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        return MemoryOutcome(
            MemoryStatus::Failed,
            "The pair memory " + Quoted(lock) + " can not be made (" + std::strerror(errno) + ").");
    }
    if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        char pid[32] = {};
        const ssize_t got = pread(lockFd_, pid, sizeof pid - 1, 0);
        Close();
        std::string holder = got > 0 ? std::string(pid, static_cast<size_t>(got)) : "";
        while (!holder.empty() && (holder.back() == '\n' || holder.back() == ' '))
            holder.pop_back();
        return MemoryOutcome(MemoryStatus::Locked,
                             "The pair memory " + Quoted(file) + " is in use by another run" +
                                 (holder.empty() ? "" : " (process " + holder + ")") +
                                 ": one two-way synchronisation of a pair at a time.");
    }
    const std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(lockFd_, 0) == 0 && write(lockFd_, pid.data(), pid.size()) < 0) {
        // The process number is only for the message of a second run.
    }

    if (sqlite3_open_v2(file.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
        Close();
        return MemoryOutcome(MemoryStatus::Failed, "The pair memory " + Quoted(file) +
                                                       " can not be opened (" + why + ").");
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_create_collation_v2(db_, "scan", SQLITE_UTF8, nullptr, CompareCollated, nullptr);
    sqlite3_stmt* version = Prepare("PRAGMA user_version");
    int schema = -1;
    int step = version == nullptr ? sqlite3_errcode(db_) : sqlite3_step(version);
    if (step == SQLITE_ROW) schema = sqlite3_column_int(version, 0);
    const std::string why = sqlite3_errmsg(db_);
    sqlite3_finalize(version);
    if (step != SQLITE_ROW) return SetAside(why);
    if (schema > kSchemaVersion) {
        Close();
        return MemoryOutcome(MemoryStatus::Newer,
                             "The pair memory " + Quoted(file) +
                                 " was written by a newer version of Ravelmoor (schema " +
                                 std::to_string(schema) + "; this version reads " +
                                 std::to_string(kSchemaVersion) + "). Nothing was changed.");
    }
    if (!Exec("PRAGMA journal_mode=WAL") || !Exec("PRAGMA synchronous=NORMAL") || !Exec(kSchema) ||
        !Exec("PRAGMA user_version=1")) {
        return SetAside(sqlite3_errmsg(db_));
    }
    // A file that opens but is not ours (a table of another shape).
    put_ = Prepare("INSERT OR REPLACE INTO entry(path, facts) VALUES(?1, ?2)");
    forget_ = Prepare("DELETE FROM entry WHERE path = ?1");
    find_ = Prepare("SELECT facts FROM entry WHERE path = ?1");
    keep_ = Prepare(
        "INSERT OR IGNORE INTO undo(run, path, facts) "
        "VALUES(?1, ?2, (SELECT facts FROM entry WHERE path = ?2))");
    if (put_ == nullptr || forget_ == nullptr || find_ == nullptr || keep_ == nullptr) {
        return SetAside(sqlite3_errmsg(db_));
    }
    return {};
}

std::string PairMemory::Meta(const char* key) {
    sqlite3_stmt* statement = Prepare("SELECT value FROM meta WHERE key = ?1");
    std::string value;
    if (statement != nullptr) {
        BindText(statement, 1, key);
        if (sqlite3_step(statement) == SQLITE_ROW) value = ColumnText(statement, 0);
    }
    sqlite3_finalize(statement);
    return value;
}

void PairMemory::SetMeta(const char* key, const std::string& value) {
    sqlite3_stmt* statement = Prepare("INSERT OR REPLACE INTO meta(key, value) VALUES(?1, ?2)");
    if (statement == nullptr) return NoteError("written");
    BindText(statement, 1, key);
    BindText(statement, 2, value);
    if (sqlite3_step(statement) != SQLITE_DONE) NoteError("written");
    sqlite3_finalize(statement);
}

bool PairMemory::Empty() {
    return RowCount() == 0;
}

size_t PairMemory::RowCount() {
    sqlite3_stmt* statement = Prepare("SELECT count(*) FROM entry");
    size_t count = 0;
    if (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW)
        count = static_cast<size_t>(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    return count;
}

std::string PairMemory::Identity(bool source) {
    return Meta(source ? "source" : "target");
}

int64_t PairMemory::LastSync() {
    const std::string text = Meta("last_sync");
    return text.empty() ? 0 : std::stoll(text);
}

PairMemory::Cursor::Cursor(PairMemory& memory) : file_(memory.file_) {
    statement_ = memory.Prepare("SELECT path, facts FROM entry ORDER BY path");
    if (statement_ == nullptr) problem_ = sqlite3_errmsg(memory.db_);
}

PairMemory::Cursor::~Cursor() {
    sqlite3_finalize(statement_);
}

bool PairMemory::Cursor::Next(MemoryRow& row) {
    if (statement_ == nullptr) return false;
    const int step = sqlite3_step(statement_);
    if (step == SQLITE_DONE) return false;
    if (step != SQLITE_ROW) {
        problem_ = sqlite3_errmsg(sqlite3_db_handle(statement_));
        return false;
    }
    row.path = ColumnText(statement_, 0);
    if (!UnpackFacts(ColumnText(statement_, 1), row.source, row.target) || row.path.empty()) {
        problem_ = "a row holds facts it can not read";
        return false;
    }
    return true;
}

bool PairMemory::Find(std::string_view path, MemoryRow& row) {
    sqlite3_reset(find_);
    BindText(find_, 1, path);
    if (sqlite3_step(find_) != SQLITE_ROW) return false;
    row.path = path;
    const bool ok = UnpackFacts(ColumnText(find_, 0), row.source, row.target);
    sqlite3_reset(find_);
    return ok;
}

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
        sqlite3_stmt* keepAll = Prepare(
            "INSERT OR IGNORE INTO undo(run, path, facts) SELECT ?1, path, facts FROM entry");
        if (keepAll != nullptr) {
            BindText(keepAll, 1, run);
            sqlite3_step(keepAll);
        }
        sqlite3_finalize(keepAll);
        SetMeta("first_sync_run", run);
    }
    SetMeta(("run." + run).c_str(), run);
    return Commit();
}

void PairMemory::Put(const MemoryRow& row) {
    if (!inTransaction_) {
        Exec("BEGIN");
        inTransaction_ = true;
    }
    if (!run_.empty() && !firstSyncRun_) {
        sqlite3_reset(keep_);
        BindText(keep_, 1, run_);
        BindText(keep_, 2, row.path);
        if (sqlite3_step(keep_) != SQLITE_DONE) NoteError("written");
    }
    sqlite3_reset(put_);
    BindText(put_, 1, row.path);
    const std::string packed = PackFacts(row.source, row.target);
    sqlite3_bind_blob(put_, 2, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(put_) != SQLITE_DONE) NoteError("written");
    if (++pending_ >= kChangesPerCommit) Commit();
}

void PairMemory::Forget(std::string_view path) {
    if (!inTransaction_) {
        Exec("BEGIN");
        inTransaction_ = true;
    }
    if (!run_.empty() && !firstSyncRun_) {
        sqlite3_reset(keep_);
        BindText(keep_, 1, run_);
        BindText(keep_, 2, path);
        if (sqlite3_step(keep_) != SQLITE_DONE) NoteError("written");
    }
    sqlite3_reset(forget_);
    BindText(forget_, 1, path);
    if (sqlite3_step(forget_) != SQLITE_DONE) NoteError("written");
    if (++pending_ >= kChangesPerCommit) Commit();
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
    // A folder's rows follow it directly in the scan order: its range starts
    // at "from/", and the byte-exact prefix ends it. The whole folder moves in
    // one statement, however many rows it holds.
    const std::string first = folder ? from + "/" : from;
    const std::string sql =
        std::string("UPDATE OR REPLACE entry SET path = ?3 || substr(path, ?4) WHERE ") +
        (folder ? "path >= ?1 AND substr(path, 1, ?2) = ?1" : "path = ?1");
    sqlite3_stmt* statement = Prepare(sql.c_str());
    if (statement == nullptr) return NoteError("written");
    BindText(statement, 1, first);
    sqlite3_bind_int64(statement, 2, static_cast<sqlite3_int64>(first.size()));
    BindText(statement, 3, to);
    sqlite3_bind_int64(statement, 4, static_cast<sqlite3_int64>(from.size()) + 1);
    if (sqlite3_step(statement) != SQLITE_DONE) NoteError("written");
    sqlite3_finalize(statement);
}

void PairMemory::ForgetAll() {
    if (!inTransaction_) {
        Exec("BEGIN");
        inTransaction_ = true;
    }
    if (!Exec("DELETE FROM entry")) NoteError("written");
}

MemoryOutcome PairMemory::Commit() {
    pending_ = 0;
    if (inTransaction_ && !Exec("COMMIT")) NoteError("written");
    inTransaction_ = false;
    if (!problem_.empty()) return MemoryOutcome(MemoryStatus::Failed, problem_);
    return {};
}

MemoryOutcome PairMemory::End(const std::string& sourceIdentity,
                              const std::string& targetIdentity) {
    if (!inTransaction_) {
        Exec("BEGIN");
        inTransaction_ = true;
    }
    SetMeta("source", sourceIdentity);
    SetMeta("target", targetIdentity);
    SetMeta("last_sync", std::to_string(std::time(nullptr)));
    // Keep the records of the last few runs for undo.
    Exec(
        "DELETE FROM meta WHERE key LIKE 'run.%' AND key NOT IN (SELECT key FROM meta WHERE key "
        "LIKE 'run.%' ORDER BY value DESC LIMIT 8)");
    return Commit();
}

MemoryOutcome PairMemory::RollBack(const std::string& run) {
    if (Meta(("run." + run).c_str()).empty()) {
        return MemoryOutcome(MemoryStatus::Failed,
                             "The pair memory " + Quoted(file_) + " holds nothing of this run.");
    }
    Exec("BEGIN");
    inTransaction_ = true;
    sqlite3_stmt* restore = Prepare(
        "INSERT OR REPLACE INTO entry(path, facts) SELECT path, facts FROM undo WHERE run = ?1 "
        "AND facts IS NOT NULL");
    sqlite3_stmt* drop = Prepare(
        "DELETE FROM entry WHERE path IN (SELECT path FROM undo WHERE run = ?1 AND facts IS "
        "NULL)");
    sqlite3_stmt* dropNew = Prepare(
        "DELETE FROM entry WHERE ?2 = 1 AND path NOT IN (SELECT path FROM undo WHERE run = ?1)");
    const bool firstSync = Meta("first_sync_run") == run;
    for (sqlite3_stmt* statement : {dropNew, drop, restore}) {
        if (statement == nullptr) {
            NoteError("written");
            continue;
        }
        BindText(statement, 1, run);
        if (statement == dropNew) sqlite3_bind_int(statement, 2, firstSync ? 1 : 0);
        if (sqlite3_step(statement) != SQLITE_DONE) NoteError("written");
        sqlite3_finalize(statement);
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
