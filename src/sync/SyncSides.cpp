#include "sync/SyncSides.h"

#include "engine/FolderComparer.h"

namespace ravelmoor {

std::optional<SyncSides> SidesOf(FolderComparer& comparer, FileSystem* ftpSide) {
    SyncSides sides;
    sides.source = {&comparer.SourceResults(), comparer.SourceFolder(),
                    &comparer.SourceFileSystem()};
    sides.target = {&comparer.TargetResults(), comparer.TargetFolder(),
                    &comparer.TargetFileSystem()};
    const bool sourceOnFtp = !comparer.SourceFtp().IsEmpty();
    const bool targetOnFtp = !comparer.TargetFtp().IsEmpty();
    if (sourceOnFtp || targetOnFtp) {
        if (ftpSide == nullptr) return std::nullopt;
        SyncSide& side = targetOnFtp ? sides.target : sides.source;
        side.fs = ftpSide;
    }
    return sides;
}

}  // namespace ravelmoor
