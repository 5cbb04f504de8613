#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/engine/FileList.h"
#include "core/engine/FileSystem.h"

namespace ravelmoor {

struct ScanOptions {
    bool includeSubFolders = false;  // descend into sub-folders
    bool recordFolders = false;      // make an entry for each sub-folder
    const std::atomic<int32_t>* cancel = nullptr;
    std::atomic<int64_t>* counter = nullptr;  // raised once per entry added
    // Folders that could not be listed, as paths below `folder` with markers
    // and a trailing '/' ("" for `folder` itself).
    std::vector<std::string>* unlistable = nullptr;
    // Why `folder` itself could not be listed, when it could not.
    std::string* whyRootUnlistable = nullptr;
    // Files a broken copy left behind (IsTemporaryName), never listed: their
    // paths below `folder`, with markers.
    std::vector<std::string>* leftovers = nullptr;
};

struct ScanResult {
    int64_t added = 0;
    bool ok = true;  // false only when the side itself failed (ListStatus::Failed)
};

// Fills `list` with an entry for every file below `folder` (and, with
// sub-folders, every folder), each path being the names below `folder`; a
// folder of versions a sync kept (kVersionsFolder) is left out at any level.
// `folder` ends with '/'. The entries come in key order (MatchKey.h, over
// paths with the folder marker before every folder name), as one sort of the
// whole list would put them, equal keys in listing order: each folder's children are sorted
// when it has been listed, and its sub-folders are listed after its files
// have been added. A cancel stops the scan between two entries; entries
// added until then stay.
ScanResult ScanFolder(FileSystem& fs, FileList& list, const std::string& folder,
                      const ScanOptions& options);

}  // namespace ravelmoor
