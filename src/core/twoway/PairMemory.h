#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/Outcome.h"
#include "core/twoway/FactsOfEntry.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ravelmoor {

enum class MemoryStatus {
    Done,
    Locked,   // another run holds the pair
    Damaged,  // cut short, damaged or not a memory at all: set aside
    Newer,    // written by a newer version: left as it is
    Failed,   // the folder or the file can not be made or written
};
using MemoryOutcome = Outcome<MemoryStatus>;

// One path of the memory: both sides' facts when they last agreed.
struct MemoryRow {
    std::string path;  // StoredPath: a folder's ends with '/'
    SideFacts source;
    SideFacts target;
};

// What a two-way synchronisation remembers of one pair of folders: each
// root's identity and, per path, the facts of both sides when they last
// agreed. One SQLite file per pair (write-ahead log), kept away from the
// trees. Rows are read in the order a comparison lists its rows, alongside
// it, never all at once. While open, a lock keeps every other run off the
// pair. Every change is kept with what it replaced, under the run that made
// it, so that undoing the run puts the rows back.
class PairMemory {
  public:
    // 2: a row is its folder's number and its own name (1 kept whole paths;
    // such a file is converted when opened).
    static constexpr int kSchemaVersion = 2;

    PairMemory();
    ~PairMemory();
    PairMemory(const PairMemory&) = delete;
    PairMemory& operator=(const PairMemory&) = delete;

    // The file of the pair of `sourceShown` and `targetShown` (the roots as
    // the user names them) in the program's state folder, "pairs/".
    static std::string FileFor(const std::string& sourceShown, const std::string& targetShown);

    // Opens (or makes) the memory at `file` and takes the pair's lock. A file
    // that can not be read is renamed aside ("FILE.damaged-YYYYMMDD-HHMMSS")
    // and refused; so is a newer schema, left in place.
    MemoryOutcome Open(const std::string& file);
    const std::string& File() const { return file_; }

    // Whether the memory holds no row (a pair never synchronised).
    bool Empty();
    size_t RowCount();
    // The roots' identities as the memory recorded them; empty when never set.
    std::string Identity(bool source);
    // When the last run that changed the memory ended (seconds since 1970); 0 if never.
    int64_t LastSync();

    // Reads rows in comparison order, from the first: folder by folder in
    // that order, each folder's own row before the files in it.
    class Cursor {
      public:
        explicit Cursor(PairMemory& memory);
        ~Cursor();
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;
        // The next row; false at the end or when the file is damaged (Problem).
        bool Next(MemoryRow& row);
        const std::string& Problem() const { return problem_; }

      private:
        struct FolderRow {
            int64_t id = 0;
            std::string path;
            bool hasFacts = false;
            std::string facts;
        };
        bool Failed(sqlite3_stmt* statement);
        bool Unpack(std::string_view path, std::string_view facts, MemoryRow& row);
        // The next folder in order; false at the end or on damage (Problem).
        bool ReadFolder(FolderRow& folder);
        bool LookAhead();
        // The rows of folders whose paths fold alike, in the comparison's order.
        bool Merge(std::vector<FolderRow> alike);

        sqlite3_stmt* folders_ = nullptr;
        sqlite3_stmt* files_ = nullptr;
        std::string folder_;  // the folder whose files are being read
        bool inFolder_ = false;
        FolderRow ahead_;
        bool haveAhead_ = false;
        bool foldersDone_ = false;  // a statement stepped past its end starts again
        std::vector<MemoryRow> merged_;
        size_t nextMerged_ = 0;
        std::string problem_;
    };

    // One row, looked up by its stored path.
    bool Find(std::string_view path, MemoryRow& row);

    // Changes belong to the run `run` (the journal's id), which Begin names.
    // Changes are gathered in one transaction, written out by Commit (also
    // after a few hundred changes, and by End).
    MemoryOutcome Begin(const std::string& run, bool firstSync);
    void Put(const MemoryRow& row);
    void Forget(std::string_view path);
    MemoryOutcome Commit();
    // Records the identities and the time of the run's end, then commits.
    MemoryOutcome End(const std::string& sourceIdentity, const std::string& targetIdentity);
    // Moves the rows of `from` and everything below it to `to` (plain
    // paths), their facts unchanged: a rename carried out.
    void Rekey(const std::string& from, const std::string& to, bool folder);
    // Drops every row (a first sync over a memory that is kept).
    void ForgetAll();

    // Puts back every row the run `run` changed; false when the memory
    // holds nothing of that run.
    MemoryOutcome RollBack(const std::string& run);
    // Whether the memory keeps what the run `run` changed.
    bool HoldsRun(const std::string& run) { return !Meta(("run." + run).c_str()).empty(); }

    // Sets a memory that could not be read aside (renamed, beside it) and
    // says so, naming the file and `why`.
    MemoryOutcome SetAside(const std::string& why);

    // Why the last write failed; empty while all is well.
    const std::string& Problem() const { return problem_; }

  private:
    bool Exec(const char* sql);
    sqlite3_stmt* Prepare(const char* sql);
    std::string Meta(const char* key);
    void SetMeta(const char* key, const std::string& value);
    void Close();
    // Moves the rows of `from` (and below it, for a folder) to `to`.
    void MoveRows(const std::string& from, const std::string& to, bool folder);
    void NoteError(const char* what);
    // A first version's file (whole paths) rewritten in this version's form.
    bool Convert();
    // The row's facts as kept now: false when there is no such row.
    bool Facts(std::string_view path, std::string& packed);
    // Writes or drops one row, the undo record aside.
    void Store(std::string_view path, const std::string* packed);
    // The number of the folder `folder` (a stored folder path, "" for the
    // root); made when `make` and missing. 0 when there is none.
    int64_t FolderId(std::string_view folder, bool make);
    void Step(sqlite3_stmt* statement);

    std::string file_;
    sqlite3* db_ = nullptr;
    int lockFd_ = -1;
    std::string run_;
    bool inTransaction_ = false;
    bool firstSyncRun_ = false;
    bool forgot_ = false;  // rows went: folders left empty are dropped at the end
    size_t pending_ = 0;
    std::string problem_;
    sqlite3_stmt* putFile_ = nullptr;
    sqlite3_stmt* putFolder_ = nullptr;
    sqlite3_stmt* forgetFile_ = nullptr;
    sqlite3_stmt* forgetFolder_ = nullptr;
    sqlite3_stmt* findFile_ = nullptr;
    sqlite3_stmt* findFolder_ = nullptr;
    sqlite3_stmt* makeFolder_ = nullptr;
    sqlite3_stmt* folderId_ = nullptr;
    sqlite3_stmt* keep_ = nullptr;
    // The last folder looked up, for the many rows of one folder in a row.
    std::string lastFolder_;
    int64_t lastFolderId_ = 0;
};

}  // namespace ravelmoor
