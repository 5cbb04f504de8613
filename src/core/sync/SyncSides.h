#pragma once

#include <string>
#include <vector>

#include "core/engine/FileList.h"
#include "core/engine/FileSystem.h"
#include "core/sync/PlanSync.h"

namespace ravelmoor {

class Comparison;

// One side of the paired result lists as the synchronisation sees it.
struct SyncSide {
    FileList* list = nullptr;
    std::string root;  // the folder every entry path of this side is below; ends with '/'
    FileSystem* fs = nullptr;
    // Temporary files of broken copies on this side, removed where a copy
    // writes; none when null.
    std::vector<std::string>* leftovers = nullptr;
};

struct SyncSides {
    SyncSide source;
    SyncSide target;

    SyncSide& Of(ListSide side) { return side == ListSide::Source ? source : target; }
};

// The sides of `comparison`. A side on FTP gets the comparison's connection
// for work after the run (opened again on first use).
SyncSides SidesOf(Comparison& comparison);
// The lists and roots alone, for what only reads the rows (the preview): no
// file system, so no FTP connection is opened for it.
SyncSides ListedSidesOf(Comparison& comparison);

}  // namespace ravelmoor
