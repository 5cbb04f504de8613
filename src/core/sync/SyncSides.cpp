#include "core/sync/SyncSides.h"

#include <ctime>

#include "core/engine/Comparison.h"
#include "core/local/ConfinedFileSystem.h"

namespace ravelmoor {

SyncSides ListedSidesOf(Comparison& comparison) {
    SyncSides sides;
    sides.source = {&comparison.SourceResults(), comparison.SourceFolder(), nullptr, nullptr};
    sides.target = {&comparison.TargetResults(), comparison.TargetFolder(), nullptr, nullptr};
    return sides;
}

SyncSides SidesOf(Comparison& comparison, const VersionKeeping& keeping) {
    SyncSides sides = ListedSidesOf(comparison);
    const auto now = static_cast<int64_t>(std::time(nullptr));
    for (const Side side : {Side::Source, Side::Target}) {
        SyncSide& syncSide = side == Side::Source ? sides.source : sides.target;
        FileSystem& fs = comparison.Sides().FileSystemOf(side);
        if (comparison.Sides().IsLocal(side)) {
            syncSide.owned = std::make_shared<ConfinedFileSystem>(fs, syncSide.root);
            syncSide.fs = syncSide.owned.get();
        } else {
            auto versions = std::make_shared<ServerVersions>(fs, syncSide.root, now, keeping.days,
                                                             keeping.keep);
            syncSide.versions = versions.get();
            syncSide.owned = std::move(versions);
            syncSide.fs = syncSide.owned.get();
        }
    }
    sides.source.leftovers = &comparison.LeftoversOf(true);
    sides.target.leftovers = &comparison.LeftoversOf(false);
    return sides;
}

KeptIn KeptInOf(const Comparison& comparison, ListSide side, const VersionKeeping& keeping) {
    if (comparison.Sides().IsLocal(side == ListSide::Source ? Side::Source : Side::Target)) {
        return KeptIn::Trash;
    }
    return keeping.keep ? KeptIn::Server : KeptIn::Nowhere;
}

}  // namespace ravelmoor
