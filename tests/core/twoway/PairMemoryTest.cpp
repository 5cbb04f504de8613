#include "core/twoway/PairMemory.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/twoway/FactsOfEntry.h"
#include "core/twoway/ScanOrder.h"
#include "support/TempTree.h"

namespace ravelmoor::test {
namespace {

MemoryRow RowOf(const std::string& path, uint64_t size = 1) {
    MemoryRow row;
    row.path = path;
    const bool folder = IsStoredFolder(path);
    row.source.kind = folder ? SideFacts::Folder : SideFacts::File;
    row.source.size = folder ? 0 : size;
    row.source.lastWrite = 1600000000;
    row.source.inode = 1000 + size;
    row.target = row.source;
    return row;
}

// Every row with its size, in the order the memory reads them.
std::vector<std::string> Rows(PairMemory& memory) {
    std::vector<std::string> rows;
    PairMemory::Cursor cursor(memory);
    MemoryRow row;
    while (cursor.Next(row))
        rows.push_back(row.path + "=" + std::to_string(row.source.size));
    EXPECT_EQ(cursor.Problem(), "");
    return rows;
}

// Both sides' facts come back exactly as they were kept, the target's
// packed against the source's where they agree.
TEST(PairMemory, FactsComeBackExactly) {
    SideFacts file;
    file.kind = SideFacts::File;
    file.size = 123456789;
    file.lastWrite = 1600000000;
    file.nanoseconds = 999999999;
    file.mode = 0644;
    file.inode = 1ULL << 40;
    file.birth = -5;
    const auto but = [&](auto change) {
        SideFacts other = file;
        change(other);
        return other;
    };
    struct Case {
        const char* name;
        SideFacts source;
        SideFacts target;
    };
    const std::vector<Case> cases = {
        {"alike but for the inode", file, but([](SideFacts& f) { f.inode = 7; })},
        {"nanoseconds apart", file, but([](SideFacts& f) { f.nanoseconds = 0; })},
        {"mode apart", file, but([](SideFacts& f) { f.mode = 0600; })},
        {"summed on one side", file, but([](SideFacts& f) {
             f.summed = true;
             f.checksum = 0xFFFFFFFF;
         })},
        {"a folder and a file", but([](SideFacts& f) {
             f = {};
             f.kind = SideFacts::Folder;
         }),
         file},
        {"absent source", SideFacts(), file},
        {"absent target", file, SideFacts()},
        {"a time before 1970", but([](SideFacts& f) { f.lastWrite = -86400; }),
         but([](SideFacts& f) { f.lastWrite = -86400; })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SideFacts source;
        SideFacts target;
        ASSERT_TRUE(UnpackFacts(PackFacts(c.source, c.target), source, target));
        EXPECT_EQ(source, c.source);
        EXPECT_EQ(target, c.target);
    }
    // A target said to be like an absent source is damage, not facts.
    SideFacts source;
    SideFacts target;
    EXPECT_FALSE(UnpackFacts(std::string("\x00\x81", 2), source, target));
}

// Rows of one folder are kept apart from the folder's path: they must still
// come back in the scan order the comparison lists them in (a folder, its
// files, then its sub-folders), however they were written.
TEST(PairMemory, RowsComeBackInScanOrder) {
    TempTree state;
    PairMemory memory;
    ASSERT_TRUE(memory.Open(state.Full("pair.db")).Ok());
    const std::vector<std::string> paths = {
        "b/", "b/z.txt", "a.txt", "b/c/", "b/c/x", "B2.txt", "b/a.txt", "b/C2/", "b/C2/q", "ä/",
        "ä/e", "b/c/y", "b/c/d/", "b/c/d/deep", "zz/y/w/", "name/", "name2", "b/c0", "b/c.",
        "b/c/d/e/",
        // Folders whose names differ in case only: their rows come mixed.
        "Photos/", "photos/", "Photos/b", "photos/a", "photos/c", "Photos/s/", "photos/s/x",
        "PHOTOS/", "PHOTOS/a0"};
    memory.Begin("run", false);
    for (size_t i = 0; i < paths.size(); ++i)
        memory.Put(RowOf(paths[(i * 7) % paths.size()], 1));
    ASSERT_TRUE(memory.Commit().Ok()) << memory.Problem();
    std::vector<std::string> expected = paths;
    std::sort(expected.begin(), expected.end(), [](const std::string& x, const std::string& y) {
        return CompareStoredPaths(x, y) < 0;
    });
    for (std::string& path : expected)
        path += IsStoredFolder(path) ? "=0" : "=1";
    EXPECT_EQ(Rows(memory), expected);
    EXPECT_EQ(memory.RowCount(), paths.size());
}

// Renames move rows (a folder's with everything below it), undo puts them
// back: over a folder kept only for its files, onto a folder that exists.
TEST(PairMemory, RenamesMoveRowsAndUndoPutsThemBack) {
    struct Case {
        const char* name;
        std::vector<std::string> before;
        const char* from;
        const char* to;
        bool folder;
        std::vector<std::string> after;
        // Rows merged into a folder the memory held are not told apart again.
        bool undone = true;
    };
    const std::vector<Case> cases = {
        {"a folder with a sub-folder",
         {"a/", "a/f", "a/s/", "a/s/g", "ab", "b/"},
         "a",
         "b/n",
         true,
         {"ab=1", "b/=0", "b/n/=0", "b/n/f=1", "b/n/s/=0", "b/n/s/g=1"}},
        {"a file into another folder",
         {"a/", "a/f", "b/"},
         "a/f",
         "b/f2",
         false,
         {"a/=0", "b/=0", "b/f2=1"}},
        {"a folder whose own row was never kept",
         {"x/y/f", "x/y/g"},
         "x/y",
         "z",
         true,
         {"z/f=1", "z/g=1"}},
        {"onto a folder that holds rows already",
         {"a/", "a/f", "a/g", "b/", "b/h"},
         "a",
         "b",
         true,
         {"b/=0", "b/f=1", "b/g=1", "b/h=1"},
         false},
        {"a prefix that is not the folder stays",
         {"a/", "a/f", "a b/", "a b/f", "a.txt"},
         "a",
         "c",
         true,
         {"a b/=0", "a b/f=1", "a.txt=1", "c/=0", "c/f=1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempTree state;
        PairMemory memory;
        ASSERT_TRUE(memory.Open(state.Full("pair.db")).Ok());
        memory.Begin("first", true);
        for (const std::string& path : c.before)
            memory.Put(RowOf(path));
        ASSERT_TRUE(memory.End("s", "t").Ok());
        const std::vector<std::string> before = Rows(memory);

        memory.Begin("second", false);
        memory.Rekey(c.from, c.to, c.folder);
        ASSERT_TRUE(memory.End("s", "t").Ok());
        std::vector<std::string> after = Rows(memory);
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, c.after);

        if (!c.undone) continue;
        // A row changed under its new name goes back with the rename.
        memory.Begin("third", false);
        MemoryRow changed;
        ASSERT_TRUE(memory.Find(c.after.front().substr(0, c.after.front().find('=')), changed));
        changed.source.size = changed.target.size = 9;
        memory.Put(changed);
        ASSERT_TRUE(memory.End("s", "t").Ok());
        ASSERT_TRUE(memory.RollBack("third").Ok());
        ASSERT_TRUE(memory.RollBack("second").Ok());
        EXPECT_EQ(Rows(memory), before);
    }
}

// A memory written by the first version (whole paths per row) is read as it
// is: converted once when opened, or set aside when its rows are not ours.
TEST(PairMemory, AnOlderVersionsFileIsConvertedOrSetAside) {
    struct Case {
        const char* name;
        std::string facts;  // of every row
        bool converted;
    };
    const std::string good = PackFacts(RowOf("f", 5).source, RowOf("f", 5).target);
    const std::vector<Case> cases = {
        {"rows it can read", good, true},
        {"rows with facts it can not read", "\x7f\x7f", false},
    };
    const std::vector<std::string> paths = {"d/", "d/f", "d/s/", "d/s/g", "top"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempTree state;
        const std::string file = state.Full("pair.db");
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        sqlite3_create_collation(db, "scan", SQLITE_UTF8, nullptr,
                                 [](void*, int la, const void* a, int lb, const void* b) {
                                     return CompareStoredPaths(
                                         {static_cast<const char*>(a), static_cast<size_t>(la)},
                                         {static_cast<const char*>(b), static_cast<size_t>(lb)});
                                 });
        ASSERT_EQ(sqlite3_exec(db,
                               "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT) WITHOUT ROWID;"
                               "CREATE TABLE entry(path TEXT PRIMARY KEY COLLATE scan, facts BLOB "
                               "NOT NULL) WITHOUT ROWID; PRAGMA user_version=1;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        for (const std::string& path : paths) {
            sqlite3_stmt* put = nullptr;
            sqlite3_prepare_v2(db, "INSERT INTO entry VALUES(?1, ?2)", -1, &put, nullptr);
            sqlite3_bind_text(put, 1, path.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_blob(put, 2, c.facts.data(), static_cast<int>(c.facts.size()),
                              SQLITE_TRANSIENT);
            EXPECT_EQ(sqlite3_step(put), SQLITE_DONE);
            sqlite3_finalize(put);
        }
        sqlite3_close(db);

        PairMemory memory;
        const MemoryOutcome opened = memory.Open(file);
        if (c.converted) {
            ASSERT_TRUE(opened.Ok()) << opened.reason;
            EXPECT_EQ(Rows(memory),
                      (std::vector<std::string>{"top=5", "d/=5", "d/f=5", "d/s/=5", "d/s/g=5"}));
        } else {
            EXPECT_EQ(opened.status, MemoryStatus::Damaged);
            EXPECT_NE(opened.reason.find(file), std::string::npos) << opened.reason;
            EXPECT_FALSE(std::filesystem::exists(file));
        }
    }
}

}  // namespace
}  // namespace ravelmoor::test
