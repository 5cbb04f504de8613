#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/engine/Checksum.h"

namespace ravelmoor {

class IoRing;

// Reads the two files of a pair side by side as ReadPairSideBySide does, with
// the same result to the bit, but for files of more than one block with
// several blocks of each file in flight at once through the kernel's ring,
// so that the disk is asked for the next blocks while one is compared.
// Everything else (one block, byte counts that differ, links, files a ring
// cannot read, no ring at all) goes to ReadPairSideBySide itself, and so does
// a pair whose reading turns out short or failing, from the start.
//
// One per reader thread: it holds the thread's ring and buffers.
class PairReadAhead {
  public:
    PairReadAhead();
    ~PairReadAhead();
    PairReadAhead(const PairReadAhead&) = delete;
    PairReadAhead& operator=(const PairReadAhead&) = delete;

    // Whether blocks are read ahead at all (the kernel gave a ring).
    bool Batched() const { return ring_ != nullptr; }

    PairReading Read(FileEntry& source, FileEntry& target, const PairSources& from);

  private:
    // Blocks of each file in flight at once.
    static constexpr unsigned kDepth = 4;

    // Waits for every read still in flight (their buffers must outlive them).
    void Drain();
    // Waits until block `block` of both files is there; false when the ring failed.
    bool Collect(uint64_t block);

    std::unique_ptr<IoRing> ring_;
    std::vector<char> buffers_;  // kDepth blocks per file
    unsigned inFlight_ = 0;
    // Per slot and file: the block whose result it holds, and that result.
    uint64_t slotBlock_[kDepth][2] = {};
    int32_t slotGot_[kDepth][2] = {};
};

}  // namespace ravelmoor
