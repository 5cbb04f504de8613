#include "engine/FolderComparer.h"

#include "engine/LocalFileSystem.h"
#include "engine/Prompter.h"

namespace ravelmoor {

FolderComparer::FolderComparer(Prompter& prompter)
    : prompter_(prompter), localFs_(std::make_shared<LocalFileSystem>()) {
    sourceFs_ = localFs_.get();
    targetFs_ = localFs_.get();
    Reset(ComparisonSettings());
}

FolderComparer::~FolderComparer() {
    Cancel();
    InterruptSides();
    Wait();
}

void FolderComparer::Reset(const ComparisonSettings& settings) {
    Wait();
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
    sourceFs_ = localFs_.get();
    targetFs_ = localFs_.get();
}

void FolderComparer::SetLocalFileSystem(std::shared_ptr<FileSystem> fs) {
    Wait();
    localFs_ = std::move(fs);
    sourceFs_ = localFs_.get();
    targetFs_ = localFs_.get();
}

void FolderComparer::Start(const std::string& sourceRoot, const std::string& targetRoot,
                           bool includeSubFolders, const FtpConnection& sourceFtp,
                           const FtpConnection& targetFtp) {
    Wait();
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

bool FolderComparer::OpenFtpSide() {
    // The Target wins when both are set; the launch never lets both through.
    const bool targetIsFtp = !targetFtp_.IsEmpty();
    const bool sourceIsFtp = !sourceFtp_.IsEmpty() && !targetIsFtp;
    if (!targetIsFtp && !sourceIsFtp) return true;
    const FtpConnection& connection = targetIsFtp ? targetFtp_ : sourceFtp_;
    std::unique_ptr<FileSystem> opened;
    if (ftpOpener_) {
        opened = ftpOpener_(connection, prompter_);
    } else {
        prompter_.Warn("Cannot initialise FTP connection");
    }
    if (!opened) return false;
    std::lock_guard<std::mutex> guard(ftpLock_);
    ftpFs_ = std::move(opened);
    (targetIsFtp ? targetFs_ : sourceFs_) = ftpFs_.get();
    return true;
}

void FolderComparer::CloseFtpSide() {
    std::unique_ptr<FileSystem> closing;
    {
        std::lock_guard<std::mutex> guard(ftpLock_);
        closing = std::move(ftpFs_);
        sourceFs_ = localFs_.get();
        targetFs_ = localFs_.get();
    }
    // Destroyed outside the lock: an interrupt can no longer reach it.
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
        text += "\n  Source: " + SourceFolder() + folder;
    for (const auto& folder : unlistableTarget_)
        text += "\n  Target: " + TargetFolder() + folder;
    return text;
}

}  // namespace ravelmoor
