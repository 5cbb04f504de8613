#include "core/engine/FolderComparer.h"

#include "core/engine/LocalFileSystem.h"
#include "core/engine/NameEscape.h"
#include "core/engine/Prompter.h"

namespace ravelmoor {
namespace {

// An FTP side that is not there: every call fails (the opener has said why).
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

FolderComparer::FolderComparer(Prompter& prompter)
    : prompter_(prompter),
      localFs_(std::make_shared<LocalFileSystem>()),
      unavailableFs_(std::make_unique<UnavailableFileSystem>()) {
    Reset(ComparisonSettings());
}

FolderComparer::~FolderComparer() {
    Cancel();
    InterruptSides();
    Wait();
}

void FolderComparer::Reset(const ComparisonSettings& settings) {
    Wait();
    CloseFtpSide();  // one opened again for the last run's synchronisation
    ftpReopenFailed_ = false;
    sourceRoot_.clear();
    targetRoot_.clear();
    method_ = ComparisonMethod::SizeAndTimestamp;
    filter_.reset();
    sourceResults_.Init();
    targetResults_.Init();
    sourceScan_.Init();
    targetScan_.Init();
    cancel_.store(0);
    phase_.store(static_cast<int32_t>(ComparisonPhase::Idle));
    sourceCount_.store(0);
    targetCount_.store(0);
    bytesChecked_.store(0);
    includeSubFolders_ = false;
    allIdentical_ = true;
    tolerance_ = settings.ignoreSixtySeconds ? 60 : (settings.ignoreTwoSeconds ? 2 : 0);
    oneHour_ = settings.ignoreOneHour;
    chunk_ = settings.crcChunk;
    sourceFtp_ = FtpConnection();
    targetFtp_ = FtpConnection();
    unlistableSource_.clear();
    unlistableTarget_.clear();
    targetIgnoresCase_ = false;
    caseClashes_.clear();
}

void FolderComparer::SetLocalFileSystem(std::shared_ptr<FileSystem> fs) {
    Wait();
    localFs_ = std::move(fs);
}

void FolderComparer::Start(const std::string& sourceRoot, const std::string& targetRoot,
                           bool includeSubFolders, const FtpConnection& sourceFtp,
                           const FtpConnection& targetFtp) {
    Wait();
    CloseFtpSide();
    ftpReopenFailed_ = false;
    sourceRoot_ = sourceRoot;
    targetRoot_ = targetRoot;
    includeSubFolders_ = includeSubFolders;
    sourceFtp_ = sourceFtp;
    targetFtp_ = targetFtp;
    SetPhase(ComparisonPhase::CollectingSource);
    {
        std::lock_guard<std::mutex> guard(endLock_);
        running_ = true;
    }
    worker_ = std::thread([this] {
        RunComparison();
        std::lock_guard<std::mutex> guard(endLock_);
        running_ = false;
        ended_.notify_all();
    });
}

bool FolderComparer::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(endLock_);
    return ended_.wait_for(lock, timeout, [this] { return !running_; });
}

void FolderComparer::Wait() {
    if (worker_.joinable()) worker_.join();
}

void FolderComparer::Cancel() {
    cancel_.store(1);
}

void FolderComparer::InterruptSides() {
    std::lock_guard<std::mutex> guard(ftpLock_);
    if (ftpFs_) ftpFs_->Interrupt();
}

FolderComparer::Side FolderComparer::FtpSide() const {
    if (!targetFtp_.IsEmpty()) return Side::Target;
    if (!sourceFtp_.IsEmpty()) return Side::Source;
    return Side::None;
}

bool FolderComparer::OpenFtpSide() {
    const Side side = FtpSide();
    if (side == Side::None) return true;
    const FtpConnection& connection = side == Side::Target ? targetFtp_ : sourceFtp_;
    std::unique_ptr<FileSystem> opened;
    if (ftpOpener_) {
        // The cancel word reaches the opener: a server that never answers the
        // logon must not hold up a cancel.
        opened = ftpOpener_(connection, prompter_, &cancel_);
    } else {
        prompter_.Warn("Cannot initialise FTP connection");
    }
    if (!opened) return false;
    std::lock_guard<std::mutex> guard(ftpLock_);
    ftpFs_ = std::move(opened);
    return true;
}

void FolderComparer::CloseFtpSide() {
    std::unique_ptr<FileSystem> closing;
    {
        std::lock_guard<std::mutex> guard(ftpLock_);
        closing = std::move(ftpFs_);
    }
    // Destroyed outside the lock: an interrupt can no longer reach it.
}

FileSystem& FolderComparer::SideFileSystem(Side side) {
    if (side != FtpSide()) return *localFs_;
    {
        std::lock_guard<std::mutex> guard(ftpLock_);
        if (ftpFs_) return *ftpFs_;
    }
    if (ftpReopenFailed_ || !ftpOpener_) return *unavailableFs_;
    // The run has closed its connection; whoever works on its rows now gets
    // a new one, kept until the next Reset.
    std::unique_ptr<FileSystem> opened =
        ftpOpener_(side == Side::Target ? targetFtp_ : sourceFtp_, prompter_, nullptr);
    if (!opened) {
        ftpReopenFailed_ = true;
        return *unavailableFs_;
    }
    std::lock_guard<std::mutex> guard(ftpLock_);
    ftpFs_ = std::move(opened);
    return *ftpFs_;
}

const std::string& FolderComparer::SourceFolder() const {
    return sourceFtp_.IsEmpty() ? sourceRoot_ : sourceFtp_.directory;
}

const std::string& FolderComparer::TargetFolder() const {
    return targetFtp_.IsEmpty() ? targetRoot_ : targetFtp_.directory;
}

std::string FolderComparer::UnlistableFoldersWarning() const {
    if (unlistableSource_.empty() && unlistableTarget_.empty()) return {};
    std::string text =
        "Some folders could not be read. The rows below them were excluded, so no "
        "synchronisation will copy over them or delete them:";
    for (const auto& folder : unlistableSource_)
        text += "\n  Source: " + EscapeName(SourceFolder() + folder);
    for (const auto& folder : unlistableTarget_)
        text += "\n  Target: " + EscapeName(TargetFolder() + folder);
    return text;
}

std::string FolderComparer::CaseClashWarning() const {
    if (caseClashes_.empty()) return {};
    std::string text =
        "The Target's file system does not tell upper and lower case apart, so these Source "
        "names would be written over each other. Their rows were excluded:";
    for (const auto& path : caseClashes_)
        text += "\n  Source: " + EscapeName(SourceFolder() + path);
    return text;
}

}  // namespace ravelmoor
