#include "core/engine/SideProvider.h"

#include "core/engine/Prompter.h"
#include "core/engine/WindowThread.h"

namespace ravelmoor {
namespace {

// A remote side that is not there: every call fails (the opener has said why).
class UnavailableFileSystem : public FileSystem {
  public:
    ListOutcome ListFolder(const std::string& /*folder*/, ListSink& /*sink*/) override {
        return ListOutcome(ListStatus::Failed);
    }
    bool ReadFacts(const std::string& /*path*/, EntryFacts& /*facts*/) override { return false; }
    std::unique_ptr<FileReader> OpenForReading(const std::string& /*path*/,
                                               uint32_t /*attributes*/) override {
        return nullptr;
    }
};

}  // namespace

SideProvider::SideProvider(Prompter& prompter, std::shared_ptr<FileSystem> localFileSystem)
    : prompter_(prompter),
      localFs_(std::move(localFileSystem)),
      unavailableFs_(std::make_unique<UnavailableFileSystem>()) {}

SideProvider::~SideProvider() {
    CloseRemote();
}

void SideProvider::Reset(std::string sourceRoot, std::string targetRoot) {
    CloseRemote();  // one opened again for the last run's synchronisation
    reopenFailed_ = false;
    sourceRoot_ = std::move(sourceRoot);
    targetRoot_ = std::move(targetRoot);
    sourceRemote_.reset();
    targetRemote_.reset();
    remoteSide_ = nullptr;
}

void SideProvider::SetRemote(Side side, std::unique_ptr<RemoteSide> remote) {
    CloseRemote();
    reopenFailed_ = false;
    (side == Side::Source ? sourceRemote_ : targetRemote_) = std::move(remote);
    remoteWhich_ = targetRemote_ ? Side::Target : Side::Source;
    remoteSide_ = targetRemote_ ? targetRemote_.get() : sourceRemote_.get();
}

void SideProvider::SetLocalFileSystem(std::shared_ptr<FileSystem> fs) {
    localFs_ = std::move(fs);
}

SideKind SideProvider::Kind(Side side) const {
    if (!HasRemote() || side != remoteWhich_) return SideKind::Local;
    return remoteSide_->Kind();
}

const std::string& SideProvider::Root(Side side) const {
    return side == Side::Source ? sourceRoot_ : targetRoot_;
}

const RemoteSide* SideProvider::Remote(Side side) const {
    return side == Side::Source ? sourceRemote_.get() : targetRemote_.get();
}

const std::string& SideProvider::Folder(Side side) const {
    const RemoteSide* remote = Remote(side);
    return remote != nullptr ? remote->Folder() : Root(side);
}

bool SideProvider::OpenRemote(const std::atomic<int32_t>* cancel) {
    if (!HasRemote()) return true;
    ExpectOffWindowThread("opening a side on a server");
    std::unique_ptr<FileSystem> opened = OpenTelling(cancel);
    if (!opened) return false;
    std::lock_guard<std::mutex> guard(lock_);
    remoteFs_ = std::move(opened);
    return true;
}

std::unique_ptr<FileSystem> SideProvider::OpenTelling(const std::atomic<int32_t>* cancel) {
    OpenResult<FileSystem> opened = remoteSide_->Open(prompter_, cancel);
    if (opened.status == OpenStatus::Failed) prompter_.Warn(opened.reason);
    return std::move(opened.value);
}

void SideProvider::CloseRemote() {
    std::unique_ptr<FileSystem> closing;
    {
        std::lock_guard<std::mutex> guard(lock_);
        closing = std::move(remoteFs_);
    }
    // Destroyed outside the lock: an interrupt can no longer reach it.
}

void SideProvider::Interrupt() {
    std::lock_guard<std::mutex> guard(lock_);
    if (remoteFs_) remoteFs_->Interrupt();
}

FileSystem& SideProvider::FileSystemOf(Side side) {
    if (IsLocal(side)) return *localFs_;
    std::lock_guard<std::mutex> guard(lock_);
    if (remoteFs_) return *remoteFs_;
    return *unavailableFs_;
}

bool SideProvider::Reopen(const std::atomic<int32_t>* cancel) {
    if (!HasRemote()) return true;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (remoteFs_) return true;
    }
    if (reopenFailed_) return false;
    ExpectOffWindowThread("opening a side on a server again");
    std::unique_ptr<FileSystem> opened = OpenTelling(cancel);
    if (!opened) {
        reopenFailed_ = true;
        return false;
    }
    std::lock_guard<std::mutex> guard(lock_);
    remoteFs_ = std::move(opened);
    return true;
}

}  // namespace ravelmoor
