#include "core/engine/Checksum.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace ravelmoor {
namespace {

// Whole files are read in larger pieces: the sum does not depend on how the
// bytes arrive, and fewer calls are faster.
constexpr size_t kBufferSize = size_t{256} * 1024;

char* ReadBuffer() {
    thread_local std::vector<char> buffer(kBufferSize);
    return buffer.data();
}

char* PairBuffers() {
    thread_local std::vector<char> buffers(2 * kPairBlockSize);
    return buffers.data();
}

// Reads until `wanted` bytes are there or the data ends: the byte count, or -1
// on a failure. A reader may hand over less than asked before the end.
int64_t ReadFully(FileReader& reader, char* buffer, size_t wanted) {
    size_t have = 0;
    while (have < wanted) {
        const int64_t got = reader.Read(buffer + have, wanted - have);
        if (got < 0) return -1;
        if (got == 0) break;
        have += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(have);
}

void Count(std::atomic<uint64_t>* bytesChecked, uint64_t bytes) {
    if (bytesChecked != nullptr) bytesChecked->fetch_add(bytes, std::memory_order_relaxed);
}

}  // namespace

uint64_t ChecksumByteCount(uint64_t size, uint64_t limit) {
    if (limit == 0) return size;
    const uint64_t target = std::min((limit + 3) / 4 * 4, size);
    if (target <= kChecksumPieceSize) return target;
    const uint64_t pieces = (target + kChecksumPieceSize - 1) / kChecksumPieceSize;
    return std::min(pieces * kChecksumPieceSize, size);
}

bool ComputeChecksum(FileEntry& entry, FileSystem& fs, std::string_view folder, uint64_t limit,
                     const std::atomic<int32_t>* cancel, std::atomic<uint64_t>* bytesChecked) {
    entry.checksum = 0xFFFFFFFFu;
    entry.checksumBytes = 0;
    const uint64_t wanted = ChecksumByteCount(entry.size, limit);
    if (wanted == 0) return true;
    switch (fs.SumInPlace(entry, folder, limit)) {
        case InPlaceSum::Summed:
            if (bytesChecked != nullptr) {
                bytesChecked->fetch_add(entry.checksumBytes, std::memory_order_relaxed);
            }
            return true;
        case InPlaceSum::Unreadable:
            return false;
        case InPlaceSum::NotHere:
            break;
    }

    const std::unique_ptr<FileReader> reader =
        fs.OpenForReading(entry.FullPath(folder), entry.attributes);
    if (!reader) return false;

    char* buffer = ReadBuffer();
    // libdeflate works with the finished (inverted) value; the register is its complement.
    uint32_t crc = 0;
    bool readOk = true;
    while (entry.checksumBytes < wanted) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0) break;
        const auto ask =
            static_cast<size_t>(std::min<uint64_t>(kBufferSize, wanted - entry.checksumBytes));
        const int64_t got = reader->Read(buffer, ask);
        if (got <= 0) {
            readOk = false;  // read error, or the file ended before its listed size
            break;
        }
        crc = libdeflate_crc32(crc, buffer, static_cast<size_t>(got));
        entry.checksumBytes += static_cast<uint64_t>(got);
        if (bytesChecked != nullptr) {
            bytesChecked->fetch_add(static_cast<uint64_t>(got), std::memory_order_relaxed);
        }
    }
    entry.checksum = entry.checksumBytes >= entry.size ? crc : ~crc;
    return readOk;
}

PairReading ReadPairSideBySide(FileEntry& source, FileEntry& target, const PairSources& from) {
    const uint64_t wanted = ChecksumByteCount(source.size, from.limit);
    if (wanted != ChecksumByteCount(target.size, from.limit)) {
        const bool ok = ComputeChecksum(source, from.sourceFs, from.sourceFolder, from.limit,
                                        from.cancel, from.bytesChecked) &&
                        ComputeChecksum(target, from.targetFs, from.targetFolder, from.limit,
                                        from.cancel, from.bytesChecked);
        return ok ? PairReading::Summed : PairReading::Unreadable;
    }
    for (FileEntry* entry : {&source, &target}) {
        entry->checksum = 0xFFFFFFFFu;
        entry->checksumBytes = 0;
    }
    if (wanted == 0) return PairReading::Summed;
    const std::unique_ptr<FileReader> sourceReader =
        from.sourceFs.OpenForReading(source.FullPath(from.sourceFolder), source.attributes);
    if (!sourceReader) return PairReading::Unreadable;
    const std::unique_ptr<FileReader> targetReader =
        from.targetFs.OpenForReading(target.FullPath(from.targetFolder), target.attributes);
    if (!targetReader) return PairReading::Unreadable;

    char* sourceBlock = PairBuffers();
    char* targetBlock = sourceBlock + kPairBlockSize;
    // Blocks that match fold into one register that stands for both files.
    uint32_t crc = 0;
    uint64_t done = 0;
    while (done < wanted) {
        if (from.cancel != nullptr && from.cancel->load(std::memory_order_relaxed) != 0) break;
        const auto ask = static_cast<size_t>(std::min(kPairBlockSize, wanted - done));
        const int64_t gotSource = ReadFully(*sourceReader, sourceBlock, ask);
        const int64_t gotTarget = ReadFully(*targetReader, targetBlock, ask);
        Count(from.bytesChecked, static_cast<uint64_t>(std::max<int64_t>(gotSource, 0) +
                                                       std::max<int64_t>(gotTarget, 0)));
        const size_t common =
            static_cast<size_t>(std::max<int64_t>(std::min(gotSource, gotTarget), 0));
        if (std::memcmp(sourceBlock, targetBlock, common) != 0) {
            // The registers say how far each file was read; they are not the sums.
            source.checksum = ~libdeflate_crc32(crc, sourceBlock, static_cast<size_t>(gotSource));
            target.checksum = ~libdeflate_crc32(crc, targetBlock, static_cast<size_t>(gotTarget));
            source.checksumBytes = done + static_cast<uint64_t>(gotSource);
            target.checksumBytes = done + static_cast<uint64_t>(gotTarget);
            return PairReading::Differs;
        }
        if (gotSource != static_cast<int64_t>(ask) || gotTarget != static_cast<int64_t>(ask)) {
            return PairReading::Unreadable;  // a read error, or a file that ended too soon
        }
        crc = libdeflate_crc32(crc, sourceBlock, ask);
        done += ask;
    }
    for (FileEntry* entry : {&source, &target}) {
        entry->checksumBytes = done;
        entry->checksum = done >= entry->size ? crc : ~crc;
    }
    return PairReading::Summed;
}

PairReading SettleWholeBlocks(FileEntry& source, const char* sourceData, FileEntry& target,
                              const char* targetData, uint64_t limit) {
    const uint64_t sourceWanted = ChecksumByteCount(source.size, limit);
    const uint64_t targetWanted = ChecksumByteCount(target.size, limit);
    // As ComputeChecksum leaves one file read alone: an empty one is never read.
    auto alone = [](FileEntry& entry, const char* data, uint64_t wanted) {
        const uint32_t crc = libdeflate_crc32(0, data, static_cast<size_t>(wanted));
        entry.checksumBytes = wanted;
        entry.checksum = wanted == 0 ? 0xFFFFFFFFu : wanted >= entry.size ? crc : ~crc;
    };
    if (sourceWanted != targetWanted || sourceWanted == 0) {
        alone(source, sourceData, sourceWanted);
        alone(target, targetData, targetWanted);
        return PairReading::Summed;
    }
    const auto wanted = static_cast<size_t>(sourceWanted);
    if (std::memcmp(sourceData, targetData, wanted) != 0) {
        // The registers say how far each file was read; they are not the sums.
        source.checksum = ~libdeflate_crc32(0, sourceData, wanted);
        target.checksum = ~libdeflate_crc32(0, targetData, wanted);
        source.checksumBytes = target.checksumBytes = wanted;
        return PairReading::Differs;
    }
    const uint32_t crc = libdeflate_crc32(0, sourceData, wanted);
    for (FileEntry* entry : {&source, &target}) {
        entry->checksumBytes = wanted;
        entry->checksum = wanted >= entry->size ? crc : ~crc;
    }
    return PairReading::Summed;
}

}  // namespace ravelmoor
