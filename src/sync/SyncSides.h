#pragma once

#include <optional>
#include <string>

#include "engine/FileList.h"
#include "engine/FileSystem.h"
#include "sync/PlanSync.h"

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

// The sides of the comparison that `comparer` holds. A side on FTP is reached
// through `ftpSide`, its open connection; without one there are no sides,
// since that side's paths are not local paths.
std::optional<SyncSides> SidesOf(FolderComparer& comparer, FileSystem* ftpSide = nullptr);

}  // namespace ravelmoor
