#include "core/engine/Checksum.h"

#include <libdeflate.h>

#include <algorithm>
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

}  // namespace ravelmoor
