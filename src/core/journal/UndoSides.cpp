#include "core/journal/UndoSides.h"

#include "core/settings/CompareLaunch.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/StartComparison.h"

namespace ravelmoor {
namespace {

// A local root as the folder boxes hold it. A connection's name is taken as
// it is: "(ftp) host/" names the connection "host/", slash and all.
std::string AsTyped(const std::string& root) {
    if (DesignatesRemoteFolder(root)) return root;
    return root.size() > 1 && root.ends_with('/') ? root.substr(0, root.size() - 1) : root;
}

}  // namespace

JournalOutcome UndoSides::Open(const JournalHeader& header) {
    std::string source = AsTyped(header.source.shown);
    std::string target = AsTyped(header.target.shown);
    SideConnection sourceSide;
    SideConnection targetSide;
    SettingsStore settingsStore;
    const LaunchOutcome checked = CheckCompareSides(
        source, target, StoredConnectionLookup(settingsStore), sourceSide, targetSide);
    if (!checked.Ok()) return JournalOutcome(JournalStatus::Unreachable, checked.reason);
    provider_.Reset(RootText(source), RootText(target));
    // The synchronisation has met the server's host key: an undo takes no
    // key that is not known.
    if (sourceSide.IsRemote())
        provider_.SetRemote(Side::Source, MakeRemoteSide(sourceSide, UnknownHostKey::Refuse));
    if (targetSide.IsRemote())
        provider_.SetRemote(Side::Target, MakeRemoteSide(targetSide, UnknownHostKey::Refuse));
    for (const Side side : {Side::Source, Side::Target}) {
        const JournalSide& named = side == Side::Source ? header.source : header.target;
        if (provider_.Folder(side) != named.folder) {
            return JournalOutcome(JournalStatus::Unreachable,
                                  "\"" + named.shown + "\" now names the folder \"" +
                                      provider_.Folder(side) + "\", not \"" + named.folder +
                                      "\" as it did for the synchronisation.");
        }
    }
    return {};
}

FileSystem& UndoSides::Of(Side side) {
    if (provider_.IsLocal(side)) return local_;
    return provider_.FileSystemOf(side);
}

}  // namespace ravelmoor
