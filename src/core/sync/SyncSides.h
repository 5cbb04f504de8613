#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/engine/FileList.h"
#include "core/engine/FileSystem.h"
#include "core/sync/PlanSync.h"
#include "core/sync/ServerVersions.h"

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
    // A server side: what keeps what the sync replaces or deletes there, and
    // removes old versions (the same object as `fs`); null for a local side.
    ServerVersions* versions = nullptr;
};

// What a sync does with what it replaces or deletes on a server side.
struct VersionKeeping {
    bool keep = true;  // kept in the versions folder; false: deleted for good, as asked
    int days = kDefaultVersionDays;  // older runs' versions go at the start of a sync
};

// Where what a sync replaces or deletes on a side goes.
enum class KeptIn : uint8_t {
    Trash,    // the user's trash (a local side)
    Server,   // the server's versions folder
    Nowhere,  // deleted for good
};

struct SyncSides {
    SyncSide source;
    SyncSide target;

    SyncSide& Of(ListSide side) { return side == ListSide::Source ? source : target; }
};

// The sides of `comparison`. A side on FTP gets the comparison's connection
// for work after the run (opened again on first use); a local side is seen
// through a ConfinedFileSystem, so nothing below its root is reached through
// a link. A server side keeps, as `keeping` says, what is replaced or deleted
// there (ServerVersions, its run folder named after now), and removes old
// versions as it says too.
SyncSides SidesOf(Comparison& comparison, const VersionKeeping& keeping = {});
// Where what a sync replaces or deletes on `side` of `comparison` goes.
KeptIn KeptInOf(const Comparison& comparison, ListSide side, const VersionKeeping& keeping);
// The lists and roots alone, for what only reads the rows (the preview): no
// file system, so no FTP connection is opened for it.
SyncSides ListedSidesOf(Comparison& comparison);

}  // namespace ravelmoor
