#include "core/launch/UndoSides.h"

#include <utility>

#include "core/launch/CompareLaunch.h"
#include "core/launch/OpenSides.h"
#include "core/settings/SettingsStore.h"

namespace ravelmoor {
namespace {

// The texts a side may have been typed as. A local root drops its added
// '/'. A connection's root "(sftp) NAME/" was typed either "(sftp) NAME",
// the root text adding the '/', or "(sftp) NAME/" with the name's own slash:
// both are tried, the usual one first.
std::vector<std::string> TypedForms(const std::string& root) {
    const bool trailing = root.size() > 1 && root.ends_with('/');
    const std::string cut = trailing ? root.substr(0, root.size() - 1) : root;
    if (!DesignatesRemoteFolder(root) || !trailing) return {cut};
    return {cut, root};
}

}  // namespace

JournalOutcome UndoSides::Open(const JournalHeader& header) {
    const std::vector<std::string> sources = TypedForms(header.source.shown);
    const std::vector<std::string> targets = TypedForms(header.target.shown);
    JournalOutcome first;
    bool tried = false;
    for (const std::string& source : sources) {
        for (const std::string& target : targets) {
            JournalOutcome opened = OpenAs(header, source, target);
            if (opened.Ok()) return opened;
            if (!tried) first = std::move(opened);
            tried = true;
        }
    }
    // None names the folders of the sync: the usual reading says why.
    return first;
}

JournalOutcome UndoSides::OpenAs(const JournalHeader& header, std::string source,
                                 std::string target) {
    SettingsStore settingsStore;
    // The synchronisation has met the server's host key: an undo takes no
    // key that is not known.
    OpenedSides opened =
        OpenSides(source, target, StoredConnectionLookup(settingsStore), UnknownHostKey::Refuse);
    if (!opened.outcome.Ok())
        return JournalOutcome(JournalStatus::Unreachable, opened.outcome.reason);
    opened.MoveInto(provider_);
    for (const Side side : {Side::Source, Side::Target}) {
        const JournalSide& named = side == Side::Source ? header.source : header.target;
        if (provider_.Folder(side) != named.folder) {
            return JournalOutcome(JournalStatus::Unreachable,
                                  "\"" + named.shown + "\" now names the folder \"" +
                                      provider_.Folder(side) + "\", not \"" + named.folder +
                                      "\" as it did for the synchronisation.");
        }
        confined_[side == Side::Source ? 0 : 1] =
            std::make_unique<ConfinedFileSystem>(local_, named.folder);
    }
    return {};
}

FileSystem& UndoSides::Of(Side side) {
    if (provider_.IsLocal(side)) return *confined_[side == Side::Source ? 0 : 1];
    provider_.Reopen(nullptr);
    return provider_.FileSystemOf(side);
}

}  // namespace ravelmoor
