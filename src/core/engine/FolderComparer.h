#pragma once

#include <QtGlobal>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/engine/ComparisonMethod.h"
#include "core/engine/FileList.h"
#include "core/engine/FileSystem.h"
#include "core/ftp/FtpConnection.h"

namespace ravelmoor {

class Prompter;

// Says which entries a filter rejects; the run asks it once per entry with the
// case-folded path below the root (folder markers included).
class EntryFilter {
  public:
    virtual ~EntryFilter() = default;
    // Compiles what needs compiling; called by the run before the walk.
    virtual void Compile() {}
    virtual bool IsExcluded(std::string_view foldedRelativePath) const = 0;
};

// Where a pair comparison writes the path it is working on (the
// "Re-Comparing files..." line after a synchronisation).
class ProgressText {
  public:
    virtual ~ProgressText() = default;
    virtual void Show(std::string_view text) = 0;
};

// The comparison engine: one object for the whole application. A run lists
// both sides on a worker thread, sorts them, pairs entries with equal relative
// paths and classifies every pair into the two result lists, which then live
// on for the results window and the synchronisation until the next Reset.
//
// The progress words (phase, cancel, counters, bytes checked) are shared with
// the display, which polls them.
class FolderComparer {
  public:
    // Opens the FTP side of a run; null when it cannot (it has said why, unless
    // `cancel` was set while it waited). `cancel` may be null.
    using FtpOpener = std::function<std::unique_ptr<FileSystem>(
        const FtpConnection& connection, Prompter&, const std::atomic<int32_t>* cancel)>;

    explicit FolderComparer(Prompter& prompter);
    ~FolderComparer();
    FolderComparer(const FolderComparer&) = delete;
    FolderComparer& operator=(const FolderComparer&) = delete;

    // Back to Idle with empty lists, taking over the comparison settings.
    // Waits for a worker of an earlier run to finish.
    void Reset(const ComparisonSettings& settings);
    void SetMethod(ComparisonMethod method) { method_ = method; }
    void SetFilter(std::shared_ptr<EntryFilter> filter) { filter_ = std::move(filter); }
    void SetFtpOpener(FtpOpener opener) { ftpOpener_ = std::move(opener); }
    // Replaces the local file system (tests inject faults this way).
    void SetLocalFileSystem(std::shared_ptr<FileSystem> fs);

    // Hands over the two sides (each root text ends with '/'; an FTP side
    // lists from its connection's directory), sets phase 1 and starts the
    // worker thread. The phase word tells when it has ended.
    void Start(const std::string& sourceRoot, const std::string& targetRoot, bool includeSubFolders,
               const FtpConnection& sourceFtp, const FtpConnection& targetFtp);
    // Waits until the worker of the current run has ended.
    void Wait();
    // Waits at most `timeout` for the run to end; true when it has ended.
    bool WaitFor(std::chrono::milliseconds timeout);

    // The worker body, also callable directly (tests, command line).
    // 0 when the run completed, 1 when it ended without a result.
    int RunComparison();

    // Classifies one pair in place; false when the data of a file could not
    // be read (both entries are then excluded and Matched).
    bool ComparePair(FileEntry& source, FileEntry& target, ProgressText* display = nullptr);

    // --- Progress words, safe to read from any thread.
    ComparisonPhase Phase() const { return static_cast<ComparisonPhase>(phase_.load()); }
    void Cancel();
    bool CancelRequested() const { return cancel_.load() != 0; }
    // Breaks a blocked call of the worker (an FTP server that does not answer).
    void InterruptSides();
    int64_t SourceCount() const { return sourceCount_.load(std::memory_order_relaxed); }
    int64_t TargetCount() const { return targetCount_.load(std::memory_order_relaxed); }
    uint64_t BytesChecked() const { return bytesChecked_.load(std::memory_order_relaxed); }
    const std::atomic<int32_t>& CancelWord() const { return cancel_; }
    std::atomic<int32_t>& CancelWord() { return cancel_; }

    // --- Results (valid after phase 6 until the next Reset).
    FileList& SourceResults() { return sourceResults_; }
    FileList& TargetResults() { return targetResults_; }
    const FileList& SourceResults() const { return sourceResults_; }
    const FileList& TargetResults() const { return targetResults_; }
    FileList& SourceScan() { return sourceScan_; }
    FileList& TargetScan() { return targetScan_; }
    // The root texts as handed to Start, for display.
    const std::string& SourceRoot() const { return sourceRoot_; }
    const std::string& TargetRoot() const { return targetRoot_; }
    // The folders that the entry paths of each side are below, as the side's
    // file system names them (the local root, or the FTP connection's
    // directory); each ends with '/'. An entry is at folder + path.
    const std::string& SourceFolder() const;
    const std::string& TargetFolder() const;
    bool AllIdentical() const { return allIdentical_; }
    static constexpr const char* kIdenticalMessage = QT_TRANSLATE_NOOP(
        "FolderComparer",
        "The two folders are identical (excluding filtered files and sub-folders)");
    ComparisonMethod Method() const { return method_; }
    const FtpConnection& SourceFtp() const { return sourceFtp_; }
    const FtpConnection& TargetFtp() const { return targetFtp_; }

    // The file systems of the two sides (local unless the side is on FTP).
    // After a run has closed its FTP side, asking for that side opens it
    // again (a synchronisation needs it); when that fails, the side answers
    // every call with a failure until the next Reset.
    FileSystem& SourceFileSystem() { return SideFileSystem(Side::Source); }
    FileSystem& TargetFileSystem() { return SideFileSystem(Side::Target); }
    bool SourceIsFtp() const { return FtpSide() == Side::Source; }
    bool TargetIsFtp() const { return FtpSide() == Side::Target; }

    // Folders (relative to their root, '/' after each) that could not be
    // listed; rows below them on the other side were excluded.
    const std::vector<std::string>& UnlistableSourceFolders() const { return unlistableSource_; }
    const std::vector<std::string>& UnlistableTargetFolders() const { return unlistableTarget_; }
    // Temporary files of broken copies found on each side (relative paths,
    // never listed), for the synchronisation to remove where it writes.
    std::vector<std::string>& LeftoversOf(bool source) {
        return source ? leftoversSource_ : leftoversTarget_;
    }
    // The one warning that names those folders; empty when there are none.
    std::string UnlistableFoldersWarning() const;

    // Whether the Target's file system ignores case (a FAT or exFAT volume,
    // a folder with the casefold attribute); known once a run has started.
    bool TargetIgnoresCase() const { return targetIgnoresCase_; }
    // Source paths that differ only in case while the Target ignores case.
    // Their rows, and every row below such folders, were excluded: copying
    // them would write one over the other.
    const std::vector<std::string>& CaseClashes() const { return caseClashes_; }
    // The one warning that names them (given through the Prompter at the
    // end of the run); empty when there are none.
    std::string CaseClashWarning() const;

  private:
    enum class Side { Source, Target, None };

    // The side the FTP connection serves: the Target wins when both are set
    // (the launch never lets both through).
    Side FtpSide() const;
    FileSystem& SideFileSystem(Side side);
    int EndWithoutResult();
    bool OpenFtpSide();
    void CloseFtpSide();
    bool ListSide(Side side);
    bool ListBothSides();
    bool Walk();
    // The rows for the entries of one key: `sourceCount` entries from
    // `sourceAt` and `targetCount` from `targetAt` (scan-list indices;
    // SIZE_MAX where a row has none on that side).
    void PairGroup(size_t sourceAt, size_t sourceCount, size_t targetAt, size_t targetCount,
                   std::vector<std::pair<size_t, size_t>>& rows);
    // Moves one row's entries to the result lists and classifies them.
    size_t EmitRow(size_t sourceIndex, size_t targetIndex,
                   std::vector<uint32_t>& waitingForChecksums);
    // The steps of ComparePair. ClassifyWithoutReading settles every pair it
    // can without reading data and says whether the pair waits for checksums.
    bool ClassifyWithoutReading(FileEntry& source, FileEntry& target) const;
    bool ReadChecksums(FileEntry& source, FileEntry& target);
    void ClassifyByChecksums(FileEntry& source, FileEntry& target, bool readOk);
    // Reads the checksums of the walk's pairs that wait for them, on two
    // threads where both sides are local, then classifies them in row order.
    bool ChecksumRows(const std::vector<uint32_t>& rows);
    void SetPhase(ComparisonPhase phase) { phase_.store(static_cast<int32_t>(phase)); }
    bool Cancelled() const { return cancel_.load(std::memory_order_relaxed) != 0; }

    Prompter& prompter_;

    FileList sourceResults_;
    FileList targetResults_;
    FileList sourceScan_;
    FileList targetScan_;
    std::string sourceRoot_;
    std::string targetRoot_;

    std::atomic<int32_t> cancel_{0};
    std::atomic<int32_t> phase_{0};
    std::atomic<int64_t> sourceCount_{0};
    std::atomic<int64_t> targetCount_{0};
    std::atomic<uint64_t> bytesChecked_{0};

    bool includeSubFolders_ = false;
    ComparisonMethod method_ = ComparisonMethod::SizeAndTimestamp;
    int32_t tolerance_ = 0;
    bool oneHour_ = false;
    uint32_t chunk_ = 0;
    bool allIdentical_ = true;

    std::shared_ptr<EntryFilter> filter_;
    FtpConnection sourceFtp_;
    FtpConnection targetFtp_;
    FtpOpener ftpOpener_;

    std::shared_ptr<FileSystem> localFs_;
    // The FTP side of the run. The display may interrupt it while the worker
    // holds it, so hand-over and interrupt go through ftpLock_.
    std::unique_ptr<FileSystem> ftpFs_;
    std::mutex ftpLock_;
    // Stands in for an FTP side that could not be opened again after a run.
    std::unique_ptr<FileSystem> unavailableFs_;
    bool ftpReopenFailed_ = false;

    std::vector<std::string> unlistableSource_;
    std::vector<std::string> unlistableTarget_;
    bool targetIgnoresCase_ = false;
    std::vector<std::string> caseClashes_;
    std::vector<std::string> leftoversSource_;
    std::vector<std::string> leftoversTarget_;

    std::thread worker_;
    std::mutex endLock_;
    std::condition_variable ended_;
    bool running_ = false;
};

}  // namespace ravelmoor
