#include "core/sync/SyncSides.h"

#include "core/engine/Comparison.h"

namespace ravelmoor {

SyncSides ListedSidesOf(Comparison& comparison) {
    SyncSides sides;
    sides.source = {&comparison.SourceResults(), comparison.SourceFolder(), nullptr, nullptr};
    sides.target = {&comparison.TargetResults(), comparison.TargetFolder(), nullptr, nullptr};
    return sides;
}

SyncSides SidesOf(Comparison& comparison) {
    SyncSides sides = ListedSidesOf(comparison);
    sides.source.fs = &comparison.SourceFileSystem();
    sides.target.fs = &comparison.TargetFileSystem();
    sides.source.leftovers = &comparison.LeftoversOf(true);
    sides.target.leftovers = &comparison.LeftoversOf(false);
    return sides;
}

}  // namespace ravelmoor
