#include "core/engine/PairReaders.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/engine/FileList.h"
#include "core/engine/FolderCache.h"
#include "core/engine/PairReadAhead.h"

namespace ravelmoor {
namespace {

// Pairs a worker takes at once: one lock per batch, and neighbouring rows
// (files of one folder) stay on one thread.
constexpr size_t kBatch = 16;
// Where the pairs are read on the walk's thread (a side on a server), a
// batch is as many checksums as such a side is asked for ahead at once.
constexpr size_t kServerBatch = 256;

}  // namespace

PairReaders::PairReaders(const ComparisonRules& rules, const PairData& data, FileList& progress,
                         size_t threads)
    : rules_(rules), data_(data), progress_(progress) {
    workers_.reserve(threads);
    for (size_t k = 0; k < threads; ++k)
        workers_.emplace_back([this] { Work(); });
}

PairReaders::~PairReaders() {
    Finish();
}

void PairReaders::Add(uint32_t row, FileEntry& source, FileEntry& target) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        pairs_.push_back({row, &source, &target, PairReading::Summed});
        wake = pairs_.size() - next_ >= kBatch;
    }
    if (wake) more_.notify_one();
}

void PairReaders::Finish() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        closed_ = true;
    }
    more_.notify_all();
    if (workers_.empty()) {
        Work();
        return;
    }
    for (auto& worker : workers_) {
        if (worker.joinable()) worker.join();
    }
}

void PairReaders::Expect(const std::vector<Pair*>& batch) {
    std::vector<const FileEntry*> sources;
    std::vector<const FileEntry*> targets;
    sources.reserve(batch.size());
    targets.reserve(batch.size());
    for (const Pair* pair : batch) {
        sources.push_back(pair->source);
        targets.push_back(pair->target);
    }
    data_.sourceFs.ExpectSums(sources, data_.sourceFolder, rules_.crcChunk);
    data_.targetFs.ExpectSums(targets, data_.targetFolder, rules_.crcChunk);
}

void PairReaders::Work() {
    // Neighbouring rows are files of one folder: each folder is looked up once.
    const FolderCache folders;
    // Large files of two local sides are read with several blocks in flight.
    std::optional<PairReadAhead> ahead;
    if (data_.sideBySide && data_.sourceFs.ReadsLocalFiles() && data_.targetFs.ReadsLocalFiles())
        ahead.emplace();
    const PairSources from{data_.sourceFs,     data_.sourceFolder, data_.targetFs,
                           data_.targetFolder, rules_.crcChunk,    data_.cancel,
                           data_.bytesChecked};
    std::vector<Pair*> batch;
    batch.reserve(kBatch);
    std::string shown;
    for (;;) {
        batch.clear();
        {
            std::unique_lock<std::mutex> lock(lock_);
            // Waits for a whole batch while the walk goes on, so that a worker
            // does not wake for every pair.
            more_.wait(lock, [this] { return closed_ || pairs_.size() - next_ >= kBatch; });
            if (next_ == pairs_.size() || Cancelled()) return;
            const size_t end =
                std::min(pairs_.size(), next_ + (workers_.empty() ? kServerBatch : kBatch));
            for (; next_ < end; ++next_)
                batch.push_back(&pairs_[next_]);
        }
        if (!data_.sideBySide) Expect(batch);
        for (Pair* pair : batch) {
            if (Cancelled()) return;
            shown.clear();
            pair->source->path.AppendTo(shown);
            progress_.SetCurrentName(shown);
            pair->reading = ahead ? ahead->Read(*pair->source, *pair->target, from)
                                  : ReadPairChecksums(*pair->source, *pair->target, rules_, data_);
        }
    }
}

}  // namespace ravelmoor
