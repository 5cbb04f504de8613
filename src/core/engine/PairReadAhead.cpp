#include "core/engine/PairReadAhead.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>

#include "core/engine/FileSystem.h"
#include "core/engine/IoRing.h"

namespace ravelmoor {
namespace {

constexpr uint64_t kNone = UINT64_MAX;

}  // namespace

PairReadAhead::PairReadAhead() {
    if (!IoRing::Support().usable) return;
    for (auto& slot : slotBlock_)
        slot[0] = slot[1] = kNone;
    ring_ = std::make_unique<IoRing>(kDepth);
    if (!ring_->Ok()) {
        ring_.reset();
    }
}

PairReadAhead::~PairReadAhead() {
    if (ring_) Drain();
}

void PairReadAhead::Drain() {
    if (inFlight_ > 0 && ring_->Wait(inFlight_)) {
        IoRing::Result result{};
        while (ring_->Pop(result))
            --inFlight_;
    }
    inFlight_ = 0;
    for (auto& slot : slotBlock_)
        slot[0] = slot[1] = kNone;
}

bool PairReadAhead::Collect(uint64_t block) {
    const unsigned slot = block % kDepth;
    while (slotBlock_[slot][0] != block || slotBlock_[slot][1] != block) {
        IoRing::Result result{};
        if (!ring_->Pop(result)) {
            if (!ring_->Wait(1)) return false;
            continue;
        }
        --inFlight_;
        const uint64_t done = result.tag / 2;
        const auto file = static_cast<size_t>(result.tag % 2);
        slotBlock_[done % kDepth][file] = done;
        slotGot_[done % kDepth][file] = result.value;
    }
    return true;
}

PairReading PairReadAhead::Read(FileEntry& source, FileEntry& target, const PairSources& from) {
    const uint64_t wanted = ChecksumByteCount(source.size, from.limit);
    if (!ring_ || wanted != ChecksumByteCount(target.size, from.limit) ||
        wanted <= kPairBlockSize || source.IsSymlink() || target.IsSymlink())
        return ReadPairSideBySide(source, target, from);

    for (FileEntry* entry : {&source, &target}) {
        entry->checksum = 0xFFFFFFFFu;
        entry->checksumBytes = 0;
    }
    const std::unique_ptr<FileReader> sourceReader =
        from.sourceFs.OpenForReading(source.FullPath(from.sourceFolder), source.attributes);
    if (!sourceReader) return PairReading::Unreadable;
    const std::unique_ptr<FileReader> targetReader =
        from.targetFs.OpenForReading(target.FullPath(from.targetFolder), target.attributes);
    if (!targetReader) return PairReading::Unreadable;
    const int fds[2] = {sourceReader->NativeHandle(), targetReader->NativeHandle()};
    if (fds[0] < 0 || fds[1] < 0) return ReadPairSideBySide(source, target, from);
    if (buffers_.empty()) buffers_.resize(size_t{2} * kDepth * kPairBlockSize);

    const uint64_t blocks = (wanted + kPairBlockSize - 1) / kPairBlockSize;
    auto ask = [wanted](uint64_t block) {
        return static_cast<uint32_t>(std::min(kPairBlockSize, wanted - block * kPairBlockSize));
    };
    auto buffer = [this](uint64_t block, size_t file) {
        return buffers_.data() + ((block % kDepth) * 2 + file) * kPairBlockSize;
    };
    auto queue = [&](uint64_t block) {
        for (size_t file = 0; file < 2; ++file) {
            ring_->QueueRead(fds[file], buffer(block, file), ask(block), block * kPairBlockSize,
                             block * 2 + file);
            ++inFlight_;
        }
    };
    for (uint64_t block = 0; block < std::min<uint64_t>(kDepth, blocks); ++block)
        queue(block);

    // Blocks that match fold into one register that stands for both files.
    uint32_t crc = 0;
    uint64_t done = 0;
    for (uint64_t block = 0; block < blocks; ++block) {
        if (from.cancel != nullptr && from.cancel->load(std::memory_order_relaxed) != 0) break;
        if (!Collect(block)) {
            Drain();
            return ReadPairSideBySide(source, target, from);
        }
        const unsigned slot = block % kDepth;
        const uint32_t size = ask(block);
        if (slotGot_[slot][0] != static_cast<int32_t>(size) ||
            slotGot_[slot][1] != static_cast<int32_t>(size)) {
            // A short or failed read: what it means is ReadPairSideBySide's to say.
            Drain();
            return ReadPairSideBySide(source, target, from);
        }
        if (from.bytesChecked != nullptr)
            from.bytesChecked->fetch_add(uint64_t{2} * size, std::memory_order_relaxed);
        const char* sourceBlock = buffer(block, 0);
        const char* targetBlock = buffer(block, 1);
        if (std::memcmp(sourceBlock, targetBlock, size) != 0) {
            // The registers say how far each file was read; they are not the sums.
            source.checksum = ~libdeflate_crc32(crc, sourceBlock, size);
            target.checksum = ~libdeflate_crc32(crc, targetBlock, size);
            source.checksumBytes = target.checksumBytes = done + size;
            Drain();
            return PairReading::Differs;
        }
        crc = libdeflate_crc32(crc, sourceBlock, size);
        done += size;
        slotBlock_[slot][0] = slotBlock_[slot][1] = kNone;
        if (block + kDepth < blocks) queue(block + kDepth);
    }
    Drain();
    for (FileEntry* entry : {&source, &target}) {
        entry->checksumBytes = done;
        entry->checksum = done >= entry->size ? crc : ~crc;
    }
    return PairReading::Summed;
}

}  // namespace ravelmoor
