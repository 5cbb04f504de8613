#include <sqlite3.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/twoway/PairMemory.h"
#include "core/twoway/ScanOrder.h"
#include "core/twoway/SqliteText.h"

// The memory read in the order the comparison lists its rows: folder by
// folder in the scan order (the folder table's collation), each folder's own
// row, then its files in the order of their names.

namespace ravelmoor {

PairMemory::Cursor::Cursor(PairMemory& memory) {
    folders_ = memory.Prepare("SELECT id, path, facts FROM folder ORDER BY path");
    files_ = memory.Prepare("SELECT name, facts FROM file WHERE parent = ?1 ORDER BY name");
    if (folders_ == nullptr || files_ == nullptr) problem_ = sqlite3_errmsg(memory.db_);
}

PairMemory::Cursor::~Cursor() {
    sqlite3_finalize(folders_);
    sqlite3_finalize(files_);
}

bool PairMemory::Cursor::Failed(sqlite3_stmt* statement) {
    problem_ = sqlite3_errmsg(sqlite3_db_handle(statement));
    return false;
}

bool PairMemory::Cursor::Unpack(std::string_view path, std::string_view facts, MemoryRow& row) {
    row.path.assign(path);
    if (path.empty() || !UnpackFacts(facts, row.source, row.target)) {
        problem_ = "a row holds facts it can not read";
        return false;
    }
    return true;
}

bool PairMemory::Cursor::LookAhead() {
    if (haveAhead_) return true;
    if (foldersDone_) return false;
    const int step = sqlite3_step(folders_);
    if (step == SQLITE_DONE) {
        foldersDone_ = true;
        return false;
    }
    if (step != SQLITE_ROW) return Failed(folders_);
    ahead_.id = sqlite3_column_int64(folders_, 0);
    ahead_.path = ColumnText(folders_, 1);
    ahead_.hasFacts = sqlite3_column_type(folders_, 2) != SQLITE_NULL;
    ahead_.facts = ahead_.hasFacts ? ColumnText(folders_, 2) : std::string_view();
    if (!ahead_.path.empty() ? !IsStoredFolder(ahead_.path) : ahead_.hasFacts) {
        problem_ = "a folder's row is not a folder";
        return false;
    }
    haveAhead_ = true;
    return true;
}

bool PairMemory::Cursor::ReadFolder(FolderRow& folder) {
    if (!LookAhead()) return false;
    folder = std::move(ahead_);
    haveAhead_ = false;
    return true;
}

bool PairMemory::Cursor::Merge(std::vector<FolderRow> alike) {
    merged_.clear();
    nextMerged_ = 0;
    std::vector<MemoryRow> files;
    for (const FolderRow& folder : alike) {
        if (folder.hasFacts && !Unpack(folder.path, folder.facts, merged_.emplace_back()))
            return false;
        sqlite3_reset(files_);
        sqlite3_bind_int64(files_, 1, folder.id);
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(files_)) == SQLITE_ROW) {
            if (!Unpack(folder.path + std::string(ColumnText(files_, 0)), ColumnText(files_, 1),
                        files.emplace_back())) {
                return false;
            }
        }
        if (step != SQLITE_DONE) return Failed(files_);
    }
    std::sort(files.begin(), files.end(), [](const MemoryRow& a, const MemoryRow& b) {
        return CompareStoredPaths(a.path, b.path) < 0;
    });
    std::move(files.begin(), files.end(), std::back_inserter(merged_));
    return true;
}

bool PairMemory::Cursor::Next(MemoryRow& row) {
    if (folders_ == nullptr || files_ == nullptr || !problem_.empty()) return false;
    for (;;) {
        if (nextMerged_ < merged_.size()) {
            row = std::move(merged_[nextMerged_++]);
            return true;
        }
        if (inFolder_) {
            const int step = sqlite3_step(files_);
            if (step == SQLITE_ROW) {
                const std::string_view name = ColumnText(files_, 0);
                if (name.empty()) return Unpack({}, {}, row);
                row.path.assign(folder_).append(name);
                return Unpack(row.path, ColumnText(files_, 1), row);
            }
            if (step != SQLITE_DONE) return Failed(files_);
            inFolder_ = false;
        }
        FolderRow folder;
        if (!ReadFolder(folder)) return false;
        // Folders whose names differ in case only share one place in the
        // comparison's order: their files come mixed, by name.
        std::vector<FolderRow> alike;
        while (LookAhead() && FoldAlike(ahead_.path, folder.path)) {
            alike.push_back(std::move(ahead_));
            haveAhead_ = false;
        }
        if (!problem_.empty()) return false;
        if (!alike.empty()) {
            alike.insert(alike.begin(), std::move(folder));
            if (!Merge(std::move(alike))) return false;
            continue;
        }
        folder_ = folder.path;
        sqlite3_reset(files_);
        sqlite3_bind_int64(files_, 1, folder.id);
        inFolder_ = true;
        if (folder.hasFacts) return Unpack(folder.path, folder.facts, row);
    }
}

}  // namespace ravelmoor
