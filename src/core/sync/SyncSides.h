#pragma once

#include <string>

#include "core/engine/FileList.h"
#include "core/engine/FileSystem.h"
#include "core/sync/PlanSync.h"

namespace ravelmoor {

class FolderComparer;

// One side of the paired result lists as the synchronisation sees it.
struct SyncSide {
    FileList* list = nullptr;
    std::string root;  // the folder every entry path of this side is below; ends with '/'
    FileSystem* fs = nullptr;
};

struct SyncSides {
    SyncSide source;
    SyncSide target;

    SyncSide& Of(ListSide side) { return side == ListSide::Source ? source : target; }
};

// The sides of the comparison that `comparer` holds. A side on FTP gets the
// comparer's connection for work after the run (opened again on first use).
SyncSides SidesOf(FolderComparer& comparer);
// The lists and roots alone, for what only reads the rows (the preview): no
// file system, so no FTP connection is opened for it.
SyncSides ListedSidesOf(FolderComparer& comparer);

}  // namespace ravelmoor
