#pragma once

#include <memory>
#include <string>

#include "core/engine/SideProvider.h"
#include "core/launch/CompareLaunch.h"
#include "core/sftp/SftpSession.h"

namespace ravelmoor {

class SettingsStore;

// The two sides of a comparison, a synchronisation or an undo, as the side
// texts name them: the root texts, the stored connection of a side on a
// server, and that side's RemoteSide (not connected yet). Each launch opens
// its sides this one way, so that a text names the same folder for all.
struct OpenedSides {
    LaunchOutcome outcome;
    std::string sourceRoot;  // RootText of each side
    std::string targetRoot;
    SideConnection sourceConnection;  // empty for a local side
    SideConnection targetConnection;
    std::unique_ptr<RemoteSide> sourceRemote;  // null for a local side
    std::unique_ptr<RemoteSide> targetRemote;

    // The folder the side's entry paths are below: the remote side's folder,
    // or the local root text.
    const std::string& Folder(Side side) const;
    // Puts the sides into `provider`: both local at the root texts, then the
    // remote side. The remote sides move into it.
    void MoveInto(SideProvider& provider);
};

// The lookups of the connections kept in `store`, which must outlive them.
// They may read a password from the desktop keyring: a remote call, kept off
// the window's thread.
ConnectionLookup StoredConnectionLookup(SettingsStore& store);

// The remote side the engine opens for a side the launch resolved; null for
// a local folder. An SFTP side treats a host key that is not known yet as
// `unknownHostKey` says.
std::unique_ptr<RemoteSide> MakeRemoteSide(const SideConnection& side,
                                           UnknownHostKey unknownHostKey);

// Checks the side texts `source` and `target` (CheckCompareSides: local texts
// are normalised in place) and makes a side on a server remote. Nothing is
// connected yet. A refusal leaves the remote sides null.
OpenedSides OpenSides(std::string& source, std::string& target, const ConnectionLookup& lookup,
                      UnknownHostKey unknownHostKey);

}  // namespace ravelmoor
