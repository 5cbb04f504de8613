#include "core/journal/VersionRestore.h"

#include "core/sync/ServerVersions.h"

namespace ravelmoor {
namespace {

// The part of `keptPath` below `root`, when it names `relative` in a run's
// folder of the versions folder.
bool KeptBelow(const std::string& root, std::string_view relative, const std::string& keptPath,
               std::string_view& below) {
    const std::string prefix = root + std::string(kVersionsFolder) + "/";
    if (relative.empty() || !keptPath.starts_with(prefix)) return false;
    const std::string_view rest = std::string_view(keptPath).substr(prefix.size());
    const size_t slash = rest.find('/');
    int64_t started = 0;
    if (slash == std::string_view::npos || !StampTime(rest.substr(0, slash), started) ||
        rest.substr(slash + 1) != relative) {
        return false;
    }
    below = std::string_view(keptPath).substr(root.size());
    return true;
}

}  // namespace

RestoreOutcome CheckKeptVersion(FileSystem& fs, const std::string& root, std::string_view relative,
                                const std::string& keptPath, const EntryFacts& kept) {
    std::string_view below;
    EntryFacts now;
    constexpr uint32_t kKind = kFolderAttribute | kSymlinkAttribute;
    if (!KeptBelow(root, relative, keptPath, below) || !fs.ReadFacts(keptPath, now) ||
        (now.attributes & kKind) != (kept.attributes & kKind) ||
        (!now.IsFolder() && now.size != kept.size) || now.lastWrite != kept.lastWrite) {
        return RestoreOutcome(RestoreStatus::NotInTrash);
    }
    return {};
}

RestoreOutcome RestoreKeptVersion(FileSystem& fs, const std::string& root,
                                  std::string_view relative, const std::string& keptPath,
                                  const EntryFacts& kept) {
    if (RestoreOutcome checked = CheckKeptVersion(fs, root, relative, keptPath, kept);
        !checked.Ok()) {
        return checked;
    }
    std::string_view below;
    KeptBelow(root, relative, keptPath, below);
    const WriteOutcome moved = fs.Rename(root, below, relative);
    if (moved.status == WriteStatus::Exists) {
        return RestoreOutcome(RestoreStatus::Exists, "something is there");
    }
    if (moved.status != WriteStatus::Done)
        return RestoreOutcome(RestoreStatus::Failed, moved.reason);
    // The levels it leaves empty, up to its run's folder, go too; one that
    // holds something else stays.
    std::string folder(below);
    const size_t runEnd = folder.find('/', kVersionsFolder.size() + 1);
    for (size_t slash = folder.rfind('/'); slash >= runEnd; slash = folder.rfind('/')) {
        folder.resize(slash);
        if (fs.RemoveFolder(root, folder).status != WriteStatus::Done) break;
    }
    return {};
}

}  // namespace ravelmoor
