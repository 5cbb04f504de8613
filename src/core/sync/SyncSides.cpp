#include "core/sync/SyncSides.h"

#include "core/engine/Comparison.h"
#include "core/local/ConfinedFileSystem.h"

namespace ravelmoor {

SyncSides ListedSidesOf(Comparison& comparison) {
    SyncSides sides;
    sides.source = {&comparison.SourceResults(), comparison.SourceFolder(), nullptr, nullptr};
    sides.target = {&comparison.TargetResults(), comparison.TargetFolder(), nullptr, nullptr};
    return sides;
}

SyncSides SidesOf(Comparison& comparison) {
    SyncSides sides = ListedSidesOf(comparison);
    for (const Side side : {Side::Source, Side::Target}) {
        SyncSide& syncSide = side == Side::Source ? sides.source : sides.target;
        FileSystem& fs = comparison.Sides().FileSystemOf(side);
        if (comparison.Sides().IsLocal(side)) {
            syncSide.owned = std::make_shared<ConfinedFileSystem>(fs, syncSide.root);
            syncSide.fs = syncSide.owned.get();
        } else {
            syncSide.fs = &fs;
        }
    }
    sides.source.leftovers = &comparison.LeftoversOf(true);
    sides.target.leftovers = &comparison.LeftoversOf(false);
    return sides;
}

}  // namespace ravelmoor
