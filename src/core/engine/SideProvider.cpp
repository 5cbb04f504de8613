#include "core/engine/SideProvider.h"

#include "core/local/LocalFileSystem.h"

namespace ravelmoor {
namespace {

// A remote side that is not there: every call fails (the opener has said why).
class UnavailableFileSystem : public FileSystem {
  public:
    ListStatus ListFolder(const std::string& /*folder*/, ListSink& /*sink*/) override {
        return ListStatus::Failed;
    }
    bool ReadFacts(const std::string& /*path*/, EntryFacts& /*facts*/) override { return false; }
    std::unique_ptr<FileReader> OpenForReading(const std::string& /*path*/,
                                               uint32_t /*attributes*/) override {
        return nullptr;
    }
};

}  // namespace

SideProvider::SideProvider(Prompter& prompter)
    : prompter_(prompter),
      localFs_(std::make_shared<LocalFileSystem>()),
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
    std::unique_ptr<FileSystem> opened = remoteSide_->Open(prompter_, cancel);
    if (!opened) return false;
    std::lock_guard<std::mutex> guard(lock_);
    remoteFs_ = std::move(opened);
    return true;
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
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (remoteFs_) return *remoteFs_;
    }
    if (reopenFailed_) return *unavailableFs_;
    // The run has closed its connection; whoever works on its rows now gets
    // a new one, kept until the next Reset.
    std::unique_ptr<FileSystem> opened = remoteSide_->Open(prompter_, nullptr);
    if (!opened) {
        reopenFailed_ = true;
        return *unavailableFs_;
    }
    std::lock_guard<std::mutex> guard(lock_);
    remoteFs_ = std::move(opened);
    return *remoteFs_;
}

}  // namespace ravelmoor
