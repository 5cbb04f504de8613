#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/engine/ComparisonMethod.h"
#include "core/engine/FileList.h"

namespace ravelmoor {

class Comparison;
class EntryFilter;
class FileSystem;
class PairReaders;
struct PairData;
struct ScanResult;
class TreeScan;
class Prompter;

// One comparison run over a Comparison that has been Reset: lists both sides
// on a worker thread (in key order), pairs entries with equal relative paths
// as they are listed and classifies every pair into the comparison's result
// lists.
//
// The progress words (phase, cancel, counters, bytes checked) are shared with
// the display, which polls them. Destroying the run cancels it and waits.
class ComparisonRun {
  public:
    ComparisonRun(Comparison& comparison, Prompter& prompter);
    ~ComparisonRun();
    ComparisonRun(const ComparisonRun&) = delete;
    ComparisonRun& operator=(const ComparisonRun&) = delete;

    // Which entries take part; none: every entry.
    void SetFilter(std::shared_ptr<EntryFilter> filter) { filter_ = std::move(filter); }

    // Sets phase 1 and starts the worker thread. The phase word tells when
    // it has ended.
    void Start();
    // Waits until the worker has ended.
    void Wait();
    // Waits at most `timeout` for the run to end; true when it has ended.
    bool WaitFor(std::chrono::milliseconds timeout);

    // The worker body, also callable directly (tests).
    // 0 when the run completed, 1 when it ended without a result.
    int Run();

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

    // The scan lists (their current names are safe to read while the worker
    // runs); empty again once the run has ended.
    FileList& SourceScan() { return sourceScan_; }
    FileList& TargetScan() { return targetScan_; }
    Comparison& Result() { return comparison_; }

  private:
    int EndWithoutResult();
    // Reports a side that failed or whose root could not be listed (false),
    // and keeps what else its listing found.
    bool CheckListedSide(bool isSource, const ScanResult& result,
                         const std::vector<std::string>& unlistable,
                         const std::string& whyRootUnlistable);
    // Lists both sides and pairs what is listed while the listing goes on,
    // then classifies the pairs the readers read.
    bool ListAndWalk();
    // Pairs the entries of the scan lists as `scan` fills them; pairs that
    // need their data go to `readers`. False when cancelled.
    bool Walk(TreeScan& scan, PairReaders* readers);
    void SetAllIdentical();
    PairData PairDataOf(bool bothLocal);
    // The rows for the entries of one key: `sourceCount` entries from
    // `sourceAt` and `targetCount` from `targetAt` (scan-list indices;
    // SIZE_MAX where a row has none on that side).
    void PairGroup(size_t sourceAt, size_t sourceCount, size_t targetAt, size_t targetCount,
                   std::vector<std::pair<size_t, size_t>>& rows);
    // Moves one row's entries to the result lists and classifies them.
    size_t EmitRow(size_t sourceIndex, size_t targetIndex,
                   std::vector<uint32_t>& waitingForChecksums);
    // Waits for the readers, then classifies the pairs they read in row
    // order, asking about data that could not be read.
    bool ClassifyReadPairs(PairReaders& readers);
    void SetPhase(ComparisonPhase phase) { phase_.store(static_cast<int32_t>(phase)); }
    bool Cancelled() const { return cancel_.load(std::memory_order_relaxed) != 0; }

    Comparison& comparison_;
    Prompter& prompter_;
    std::shared_ptr<EntryFilter> filter_;

    FileList sourceScan_;
    FileList targetScan_;

    std::atomic<int32_t> cancel_{0};
    std::atomic<int32_t> phase_{0};
    std::atomic<int64_t> sourceCount_{0};
    std::atomic<int64_t> targetCount_{0};
    std::atomic<uint64_t> bytesChecked_{0};

    std::thread worker_;
    std::mutex endLock_;
    std::condition_variable ended_;
    bool running_ = false;
};

}  // namespace ravelmoor
