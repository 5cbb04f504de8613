#include "core/sync/SyncSides.h"

#include "core/engine/FolderComparer.h"

namespace ravelmoor {

SyncSides ListedSidesOf(FolderComparer& comparer) {
    SyncSides sides;
    sides.source = {&comparer.SourceResults(), comparer.SourceFolder(), nullptr};
    sides.target = {&comparer.TargetResults(), comparer.TargetFolder(), nullptr};
    return sides;
}

SyncSides SidesOf(FolderComparer& comparer) {
    SyncSides sides = ListedSidesOf(comparer);
    sides.source.fs = &comparer.SourceFileSystem();
    sides.target.fs = &comparer.TargetFileSystem();
    return sides;
}

}  // namespace ravelmoor
