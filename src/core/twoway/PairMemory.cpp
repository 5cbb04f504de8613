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
#include <utility>

#include "core/engine/NameEscape.h"
#include "core/settings/StateFolder.h"
#include "core/twoway/ScanOrder.h"
#include "core/twoway/SqliteText.h"

namespace ravelmoor {
namespace {

int CompareCollated(void* /*unused*/, int lengthA, const void* a, int lengthB, const void* b) {
    return CompareStoredPaths({static_cast<const char*>(a), static_cast<size_t>(lengthA)},
                              {static_cast<const char*>(b), static_cast<size_t>(lengthB)});
}

// How many changes one transaction gathers before it is written out.
constexpr size_t kChangesPerCommit = 256;

// A row is its folder's number and its own name: the folder's path is kept
// once, however many files it holds, and a folder renamed moves its rows
// below by changing its own row and those of the folders below it.
// A folder's own facts are in its row (none for the root, or for a folder
// only kept for the files in it).
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS folder(id INTEGER PRIMARY KEY,"
    " path TEXT NOT NULL UNIQUE COLLATE scan, facts BLOB);"
    "CREATE TABLE IF NOT EXISTS file(parent INTEGER NOT NULL, name TEXT NOT NULL COLLATE scan,"
    " facts BLOB NOT NULL, PRIMARY KEY(parent, name)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS undo(run TEXT, path TEXT, facts BLOB,"
    " PRIMARY KEY(run, path)) WITHOUT ROWID;"
    // A rename is kept as one row, however many rows it moved.
    "CREATE TABLE IF NOT EXISTS move(run TEXT, seq INTEGER, source TEXT, destination TEXT,"
    " folder INTEGER, PRIMARY KEY(run, seq)) WITHOUT ROWID;";

// A stored file path split into its folder (stored form, "" for the root)
// and its name.
std::pair<std::string_view, std::string_view> Split(std::string_view path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {{}, path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

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

}  // namespace

PairMemory::PairMemory() = default;

PairMemory::~PairMemory() {
    if (inTransaction_) Commit();
    Close();
}

void PairMemory::Close() {
    for (sqlite3_stmt* statement : {putFile_, putFolder_, forgetFile_, forgetFolder_, findFile_,
                                    findFolder_, makeFolder_, folderId_, keep_}) {
        sqlite3_finalize(statement);
    }
    putFile_ = putFolder_ = forgetFile_ = forgetFolder_ = findFile_ = findFolder_ = makeFolder_ =
        folderId_ = keep_ = nullptr;
    lastFolder_.clear();
    lastFolderId_ = 0;
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

void PairMemory::Step(sqlite3_stmt* statement) {
    if (sqlite3_step(statement) != SQLITE_DONE) NoteError("written");
    sqlite3_reset(statement);
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
    // Large pages keep more rows per page and fewer pages' headers.
    if (schema == 0) Exec("PRAGMA page_size=8192");
    if (!Exec("PRAGMA journal_mode=WAL") || !Exec("PRAGMA synchronous=NORMAL") || !Exec(kSchema)) {
        return SetAside(sqlite3_errmsg(db_));
    }
    // A file that opens but is not ours (a table of another shape).
    putFile_ = Prepare("INSERT OR REPLACE INTO file(parent, name, facts) VALUES(?1, ?2, ?3)");
    putFolder_ = Prepare(
        "INSERT INTO folder(path, facts) VALUES(?1, ?2) "
        "ON CONFLICT(path) DO UPDATE SET facts = excluded.facts");
    forgetFile_ = Prepare("DELETE FROM file WHERE parent = ?1 AND name = ?2");
    forgetFolder_ = Prepare("UPDATE folder SET facts = NULL WHERE path = ?1");
    findFile_ = Prepare(
        "SELECT facts FROM file WHERE parent = (SELECT id FROM folder WHERE path = ?1) "
        "AND name = ?2");
    findFolder_ = Prepare("SELECT facts FROM folder WHERE path = ?1 AND facts IS NOT NULL");
    makeFolder_ = Prepare("INSERT INTO folder(path) VALUES(?1)");
    folderId_ = Prepare("SELECT id FROM folder WHERE path = ?1");
    keep_ = Prepare("INSERT OR IGNORE INTO undo(run, path, facts) VALUES(?1, ?2, ?3)");
    for (sqlite3_stmt* statement : {putFile_, putFolder_, forgetFile_, forgetFolder_, findFile_,
                                    findFolder_, makeFolder_, folderId_, keep_}) {
        if (statement == nullptr) return SetAside(sqlite3_errmsg(db_));
    }
    if (schema == 1 && !Convert()) {
        const std::string converting = problem_.empty() ? sqlite3_errmsg(db_) : problem_;
        problem_.clear();
        return SetAside("an older version's memory that could not be converted: " + converting);
    }
    if (schema != kSchemaVersion && !Exec("PRAGMA user_version=2")) {
        return SetAside(sqlite3_errmsg(db_));
    }
    return {};
}

bool PairMemory::Convert() {
    if (!Exec("BEGIN")) return false;
    sqlite3_stmt* rows = Prepare("SELECT path, facts FROM entry");
    bool ok = rows != nullptr;
    SideFacts source;
    SideFacts target;
    int step = SQLITE_DONE;
    while (ok && (step = sqlite3_step(rows)) == SQLITE_ROW) {
        const std::string_view path = ColumnText(rows, 0);
        const std::string facts(ColumnText(rows, 1));
        if (path.empty() || !UnpackFacts(facts, source, target)) {
            problem_ = "a row holds facts it can not read";
            ok = false;
            break;
        }
        Store(path, &facts);
    }
    ok = ok && step == SQLITE_DONE && problem_.empty();
    sqlite3_finalize(rows);
    ok = ok && Exec("DROP TABLE entry") && Exec("PRAGMA user_version=2") && Exec("COMMIT");
    if (!ok) Exec("ROLLBACK");
    lastFolder_.clear();
    lastFolderId_ = 0;
    return ok;
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
    sqlite3_stmt* statement = Prepare(
        "SELECT (SELECT count(*) FROM file) + "
        "(SELECT count(*) FROM folder WHERE facts IS NOT NULL)");
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

bool PairMemory::Facts(std::string_view path, std::string& packed) {
    sqlite3_stmt* find = IsStoredFolder(path) ? findFolder_ : findFile_;
    sqlite3_reset(find);
    if (IsStoredFolder(path)) {
        BindText(find, 1, path);
    } else {
        const auto [folder, name] = Split(path);
        BindText(find, 1, folder);
        BindText(find, 2, name);
    }
    const bool found = sqlite3_step(find) == SQLITE_ROW;
    if (found) packed = ColumnText(find, 0);
    sqlite3_reset(find);
    return found;
}

bool PairMemory::Find(std::string_view path, MemoryRow& row) {
    std::string packed;
    if (!Facts(path, packed)) return false;
    row.path = path;
    return UnpackFacts(packed, row.source, row.target);
}

int64_t PairMemory::FolderId(std::string_view folder, bool make) {
    if (lastFolderId_ != 0 && folder == lastFolder_) return lastFolderId_;
    BindText(folderId_, 1, folder);
    int64_t id = sqlite3_step(folderId_) == SQLITE_ROW ? sqlite3_column_int64(folderId_, 0) : 0;
    sqlite3_reset(folderId_);
    if (id == 0 && make) {
        BindText(makeFolder_, 1, folder);
        if (sqlite3_step(makeFolder_) == SQLITE_DONE)
            id = sqlite3_last_insert_rowid(db_);
        else
            NoteError("written");
        sqlite3_reset(makeFolder_);
    }
    if (id != 0) {
        lastFolder_ = folder;
        lastFolderId_ = id;
    }
    return id;
}

void PairMemory::Store(std::string_view path, const std::string* packed) {
    if (IsStoredFolder(path)) {
        sqlite3_stmt* statement = packed != nullptr ? putFolder_ : forgetFolder_;
        BindText(statement, 1, path);
        if (packed != nullptr)
            sqlite3_bind_blob(statement, 2, packed->data(), static_cast<int>(packed->size()),
                              SQLITE_TRANSIENT);
        forgot_ = forgot_ || packed == nullptr;
        return Step(statement);
    }
    const auto [folder, name] = Split(path);
    const int64_t parent = FolderId(folder, packed != nullptr);
    if (parent == 0) return;  // no folder, so no row to forget
    sqlite3_stmt* statement = packed != nullptr ? putFile_ : forgetFile_;
    sqlite3_bind_int64(statement, 1, parent);
    BindText(statement, 2, name);
    if (packed != nullptr)
        sqlite3_bind_blob(statement, 3, packed->data(), static_cast<int>(packed->size()),
                          SQLITE_TRANSIENT);
    forgot_ = forgot_ || packed == nullptr;
    Step(statement);
}

void PairMemory::Put(const MemoryRow& row) {
    if (!inTransaction_) {
        Exec("BEGIN");
        inTransaction_ = true;
    }
    if (!run_.empty() && !firstSyncRun_) {
        std::string was;
        const bool had = Facts(row.path, was);
        BindText(keep_, 1, run_);
        BindText(keep_, 2, row.path);
        if (had)
            sqlite3_bind_blob(keep_, 3, was.data(), static_cast<int>(was.size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(keep_, 3);
        Step(keep_);
    }
    const std::string packed = PackFacts(row.source, row.target);
    Store(row.path, &packed);
    if (++pending_ >= kChangesPerCommit) Commit();
}

void PairMemory::Forget(std::string_view path) {
    if (!inTransaction_) {
        Exec("BEGIN");
        inTransaction_ = true;
    }
    if (!run_.empty() && !firstSyncRun_) {
        std::string was;
        if (Facts(path, was)) {
            BindText(keep_, 1, run_);
            BindText(keep_, 2, path);
            sqlite3_bind_blob(keep_, 3, was.data(), static_cast<int>(was.size()), SQLITE_TRANSIENT);
            Step(keep_);
        }
    }
    Store(path, nullptr);
    if (++pending_ >= kChangesPerCommit) Commit();
}

void PairMemory::ForgetAll() {
    if (!inTransaction_) {
        Exec("BEGIN");
        inTransaction_ = true;
    }
    lastFolder_.clear();
    lastFolderId_ = 0;
    if (!Exec("DELETE FROM file") || !Exec("DELETE FROM folder")) NoteError("written");
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
    if (forgot_) {
        // Folders kept only for files that are gone.
        Exec(
            "DELETE FROM folder WHERE facts IS NULL AND NOT EXISTS (SELECT 1 FROM file WHERE "
            "file.parent = folder.id)");
        lastFolder_.clear();
        lastFolderId_ = 0;
        forgot_ = false;
    }
    return Commit();
}

}  // namespace ravelmoor
