#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "core/engine/Checksum.h"
#include "core/engine/ComparisonRules.h"
#include "core/engine/FileEntry.h"

namespace ravelmoor {

class FileList;

// Reads the data of the pairs that wait for their checksums on a few worker
// threads while the walk is still finding more, so reading starts with the
// first such pair instead of after the last.
//
// The entries handed in must not move and must not be touched by anyone else
// until Finish returns (entries of a FileList never move while it only grows).
// Destroying the readers without Finish stops them (after the file each one
// is reading when the cancel word is set) and waits for them.
class PairReaders {
  public:
    // `threads` workers; with none, Finish reads every pair on the calling
    // thread (a side with one connection to a server). `progress` shows the
    // file being read.
    PairReaders(const ComparisonRules& rules, const PairData& data, FileList& progress,
                size_t threads);
    ~PairReaders();
    PairReaders(const PairReaders&) = delete;
    PairReaders& operator=(const PairReaders&) = delete;

    // Queues the pair of result row `row`.
    void Add(uint32_t row, FileEntry& source, FileEntry& target);
    // Waits until every queued pair has been read (or the cancel word was set).
    void Finish();

    // After Finish: the queued rows in the order they were added, each with
    // what its reading found.
    struct Pair {
        uint32_t row;
        FileEntry* source;
        FileEntry* target;
        PairReading reading;
    };
    const std::deque<Pair>& Pairs() const { return pairs_; }

  private:
    void Work();
    // Tells both sides which files the batch will have summed.
    void Expect(const std::vector<Pair*>& batch);
    bool Cancelled() const {
        return data_.cancel != nullptr && data_.cancel->load(std::memory_order_relaxed) != 0;
    }

    const ComparisonRules& rules_;
    PairData data_;
    FileList& progress_;

    std::mutex lock_;
    std::condition_variable more_;
    std::deque<Pair> pairs_;  // push_back keeps references to earlier pairs valid
    size_t next_ = 0;         // the first pair no worker has taken
    bool closed_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace ravelmoor
