#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "core/engine/FileSystem.h"
#include "core/engine/Outcome.h"

namespace ravelmoor {

class Prompter;

enum class Side { Source, Target };

// What a side's file system is: a folder on this machine, or one on an FTP or
// SFTP server (one connection, slow calls, no trash, a folder named by its
// connection).
enum class SideKind { Local, Ftp, Sftp };

// How opening a side on a server ended. Stopped: nothing to tell (the cancel
// word was set, the user declined the server's key, or the side has already
// said what broke); Failed: the reason says why, for the caller to tell.
enum class OpenStatus { Opened, Failed, Stopped };
// The file system of an opened side, or why there is none.
template <class Side>
using OpenResult = Result<OpenStatus, std::unique_ptr<Side>>;

// A side that is not on this machine: the engine only opens it and asks for
// the folder its entries are below; what it is made of stays with its maker.
class RemoteSide {
  public:
    virtual ~RemoteSide() = default;
    virtual SideKind Kind() const = 0;
    // The folder the side's entry paths are below, as its file system names
    // it; ends with '/'.
    virtual const std::string& Folder() const = 0;
    // Connects. `prompter` is for the questions on the way (a server's
    // unknown key) and for the opened side's own warnings later; a failure
    // to open comes back in the result. `cancel` may be null.
    virtual OpenResult<FileSystem> Open(Prompter& prompter, const std::atomic<int32_t>* cancel) = 0;
};

// Hands out the file system of each side of one comparison: the local one,
// or the remote side's connection. The run opens the remote side and closes
// it when it ends; Reopen opens it again (a synchronisation needs it), and
// when that fails the side answers every call with a failure until the next
// Reset.
//
// It belongs to whoever holds the comparison (a command, the window), which
// hands it the file system a local side is read through.
class SideProvider {
  public:
    SideProvider(Prompter& prompter, std::shared_ptr<FileSystem> localFileSystem);
    ~SideProvider();
    SideProvider(const SideProvider&) = delete;
    SideProvider& operator=(const SideProvider&) = delete;

    // Both sides local at these root texts (each ends with '/'); closes a
    // remote side that is still open.
    void Reset(std::string sourceRoot, std::string targetRoot);
    // Makes `side` remote. Only one side can be: the Target wins when both
    // are set (the launch never lets both through).
    void SetRemote(Side side, std::unique_ptr<RemoteSide> remote);
    // Replaces the local file system (tests inject faults this way).
    void SetLocalFileSystem(std::shared_ptr<FileSystem> fs);

    SideKind Kind(Side side) const;
    bool IsLocal(Side side) const { return Kind(side) == SideKind::Local; }
    // The root text as handed to Reset, for display.
    const std::string& Root(Side side) const;
    // The folder the entry paths of the side are below, as its file system
    // names it (the local root, or the remote side's folder).
    const std::string& Folder(Side side) const;
    // The side's file system. A remote side that is not open (the run has
    // closed it, or it could not be opened again) answers every call with a
    // failure; Reopen connects it.
    FileSystem& FileSystemOf(Side side);
    // Connects the remote side again after the run has closed it, for
    // whoever works on its rows; kept until the next Reset. True when it is
    // open or there is none; false when it cannot be (it has said why, or
    // `cancel` was set while it waited), and then until the next Reset.
    bool Reopen(const std::atomic<int32_t>* cancel);

    // For the run: opens the remote side, if there is one; false when it
    // cannot, after telling the reason through the prompter. The cancel word reaches the
    // connection: a server that never answers the logon must not hold up a cancel.
    bool OpenRemote(const std::atomic<int32_t>* cancel);
    // Drops the remote side's connection, if open.
    void CloseRemote();
    // Breaks a blocked call on the remote side (a server that does not answer).
    void Interrupt();

  private:
    // The remote side, if any.
    const RemoteSide* Remote(Side side) const;
    bool HasRemote() const { return remoteSide_ != nullptr; }
    // Opens the remote side and tells why when it cannot; null then.
    std::unique_ptr<FileSystem> OpenTelling(const std::atomic<int32_t>* cancel);

    Prompter& prompter_;
    std::string sourceRoot_;
    std::string targetRoot_;
    std::shared_ptr<FileSystem> localFs_;
    std::unique_ptr<RemoteSide> sourceRemote_;
    std::unique_ptr<RemoteSide> targetRemote_;
    RemoteSide* remoteSide_ = nullptr;  // the one of the two in use
    Side remoteWhich_ = Side::Target;
    // The remote side's connection. The display may interrupt it while the
    // worker holds it, so hand-over and interrupt go through lock_.
    std::unique_ptr<FileSystem> remoteFs_;
    std::mutex lock_;
    // Stands in for a remote side that could not be opened again after a run.
    std::unique_ptr<FileSystem> unavailableFs_;
    bool reopenFailed_ = false;
};

}  // namespace ravelmoor
