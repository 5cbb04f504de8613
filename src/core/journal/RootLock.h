#pragma once

#include <string>

#include "core/engine/FdGuard.h"
#include "core/engine/Outcome.h"
#include "core/journal/Journal.h"

namespace ravelmoor {

// Whether a root could be kept for one run; the reason is the message to show.
enum class LockStatus {
    Taken,
    InUse,   // another synchronisation or undo holds it; the reason names it
    Failed,  // no lock could be made; the reason says where and why
};
using LockOutcome = Outcome<LockStatus>;

// Keeps other synchronisations and undos off one root while a run changes
// it, so that two runs never mix their changes in one tree. The lock is a
// file in $XDG_RUNTIME_DIR/ravelmoor/locks (or the state folder's locks/
// where there is no runtime folder) named after the root: a local folder by
// its device and inode, so that every name of it (a link, a bind mount)
// meets the same lock; a folder on a server by its connection's text and the
// folder it names there. The file holds
// the holder's process number and host for the message a second run gives,
// and is locked with flock, so a holder that died leaves nothing that keeps
// others out; where flock is not to be had, a lock whose process is gone on
// this host is taken over.
class RootLock {
  public:
    RootLock() = default;
    ~RootLock() { Release(); }
    RootLock(const RootLock&) = delete;
    RootLock& operator=(const RootLock&) = delete;

    // Takes the lock of the side (its root text "shown", ending in '/', is
    // the local folder, or "(ftp) NAME/" / "(sftp) NAME/" with `folder` the
    // server's folder). A local folder that is not there is nothing to keep:
    // Taken, with no lock.
    LockOutcome Take(const JournalSide& side);
    void Release();

    // The lock file of the side; empty when it is a local folder that is
    // not there, or no folder for locks is known.
    static std::string PathFor(const JournalSide& side);

  private:
    FdGuard fd_;
    std::string path_;
};

// The locks of both roots of one synchronisation or undo, released together.
class SyncLocks {
  public:
    // Takes both (a root that is only one folder under two names once);
    // InUse or Failed, holding neither, when either can not be taken.
    LockOutcome Take(const std::string& sourceRoot, bool sourceLocal, const std::string& targetRoot,
                     bool targetLocal);
    // The roots of a journal's sides (of a sync about to run, or one undone).
    LockOutcome Take(const JournalHeader& sides);

  private:
    RootLock source_;
    RootLock target_;
};

}  // namespace ravelmoor
