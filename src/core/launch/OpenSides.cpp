#include "core/launch/OpenSides.h"

#include "core/engine/WindowThread.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/ftp/FtpOpener.h"
#include "core/sftp/SftpConnectionStore.h"
#include "core/sftp/SftpOpener.h"

namespace ravelmoor {

const std::string& OpenedSides::Folder(Side side) const {
    const std::unique_ptr<RemoteSide>& remote = side == Side::Source ? sourceRemote : targetRemote;
    if (remote) return remote->Folder();
    return side == Side::Source ? sourceRoot : targetRoot;
}

void OpenedSides::MoveInto(SideProvider& provider) {
    provider.Reset(sourceRoot, targetRoot);
    if (sourceRemote) provider.SetRemote(Side::Source, std::move(sourceRemote));
    if (targetRemote) provider.SetRemote(Side::Target, std::move(targetRemote));
}

ConnectionLookup StoredConnectionLookup(SettingsStore& store) {
    // A password kept in the desktop keyring is asked for over the session
    // bus, which may wait for the user to unlock it.
    return {[&store](std::string_view name) {
                ExpectOffWindowThread("looking up a stored FTP connection");
                return FtpConnectionStore(store).LookupConnection(name);
            },
            [&store](std::string_view name) {
                ExpectOffWindowThread("looking up a stored SFTP connection");
                return SftpConnectionStore(store).LookupConnection(name);
            }};
}

std::unique_ptr<RemoteSide> MakeRemoteSide(const SideConnection& side,
                                           UnknownHostKey unknownHostKey) {
    if (!side.ftp.IsEmpty()) return MakeFtpSide(side.ftp);
    if (!side.sftp.IsEmpty()) return MakeSftpSide(side.sftp, unknownHostKey);
    return nullptr;
}

OpenedSides OpenSides(std::string& source, std::string& target, const ConnectionLookup& lookup,
                      UnknownHostKey unknownHostKey) {
    OpenedSides sides;
    sides.outcome =
        CheckCompareSides(source, target, lookup, sides.sourceConnection, sides.targetConnection);
    if (!sides.outcome.Ok()) return sides;
    sides.sourceRoot = RootText(source);
    sides.targetRoot = RootText(target);
    sides.sourceRemote = MakeRemoteSide(sides.sourceConnection, unknownHostKey);
    sides.targetRemote = MakeRemoteSide(sides.targetConnection, unknownHostKey);
    return sides;
}

}  // namespace ravelmoor
