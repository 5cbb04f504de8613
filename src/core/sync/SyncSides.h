#pragma once

#include <memory>
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
    // The side's file system, confined to the root for a local side (no
    // link followed below it); `owned` keeps that view alive.
    FileSystem* fs = nullptr;
    std::shared_ptr<FileSystem> owned;
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
// for work after the run (opened again on first use); a local side is seen
// through a ConfinedFileSystem, so nothing below its root is reached through
// a link.
SyncSides SidesOf(Comparison& comparison);
// The lists and roots alone, for what only reads the rows (the preview): no
// file system, so no FTP connection is opened for it.
SyncSides ListedSidesOf(Comparison& comparison);

}  // namespace ravelmoor
