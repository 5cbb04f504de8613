#include "sync/SyncSides.h"

#include "engine/FolderComparer.h"

namespace ravelmoor {

std::optional<SyncSides> SidesOf(FolderComparer& comparer, FileSystem* ftpSide) {
    SyncSides sides;
    sides.source = {&comparer.SourceResults(), comparer.SourceRoot(), &comparer.SourceFileSystem()};
    sides.target = {&comparer.TargetResults(), comparer.TargetRoot(), &comparer.TargetFileSystem()};
    const bool sourceOnFtp = !comparer.SourceFtp().IsEmpty();
    const bool targetOnFtp = !comparer.TargetFtp().IsEmpty();
    if (sourceOnFtp || targetOnFtp) {
        if (ftpSide == nullptr) return std::nullopt;
        SyncSide& side = targetOnFtp ? sides.target : sides.source;
        side.root = targetOnFtp ? comparer.TargetFtp().directory : comparer.SourceFtp().directory;
        side.fs = ftpSide;
    }
    return sides;
}

}  // namespace ravelmoor
