#pragma once

#include <atomic>
#include <cstdint>

#include "core/engine/FileEntry.h"
#include "core/engine/FileSystem.h"

namespace ravelmoor {

// Files are read in pieces of this size; a limited checksum counts whole pieces.
inline constexpr uint64_t kChecksumPieceSize = 16384;
// Side by side, the two files of a pair are read and compared in blocks of
// this size, while both blocks are still in the processor's cache.
inline constexpr uint64_t kPairBlockSize = 65536;

// How many bytes a checksum with byte limit `limit` folds in for a file of
// `size` bytes: the whole file for limit 0; otherwise the limit rounded up to a
// multiple of 4 and, above one piece, to whole pieces, never past the end.
uint64_t ChecksumByteCount(uint64_t size, uint64_t limit);

// Computes the CRC-32 register of `entry` into entry.checksum and
// entry.checksumBytes. A checksum over the whole file is its standard CRC-32;
// one over part of a file keeps the register un-inverted; an empty file gives
// 0xFFFFFFFF without being opened. Returns false when the data could not be
// read (cannot open, read error, file shorter than listed). A set cancel word
// ends the reading early with true.
// The entry's file is at `folder` + entry.path.
bool ComputeChecksum(FileEntry& entry, FileSystem& fs, std::string_view folder, uint64_t limit,
                     const std::atomic<int32_t>* cancel, std::atomic<uint64_t>* bytesChecked);

// What reading the two files of a pair found.
enum class PairReading : uint8_t {
    Unreadable,  // some data could not be read
    Summed,      // both checksums are complete; they decide
    Differs,     // a block differed; the checksums hold only what was read before it
};

// Where the two files of a pair are and how they are read.
struct PairSources {
    FileSystem& sourceFs;
    std::string_view sourceFolder;
    FileSystem& targetFs;
    std::string_view targetFolder;
    uint64_t limit = 0;  // as for ComputeChecksum
    const std::atomic<int32_t>* cancel = nullptr;
    std::atomic<uint64_t>* bytesChecked = nullptr;
};

// Reads both files of a pair side by side and stops at the first block whose
// bytes differ. A pair whose blocks all match ends with exactly the checksums
// ComputeChecksum gives; so does a pair whose byte counts differ (read one
// after the other, as nothing lines up). A file that cannot be read, or ends
// before its listed size before any difference is seen, gives Unreadable.
PairReading ReadPairSideBySide(FileEntry& source, FileEntry& target, const PairSources& from);

// What ReadPairSideBySide gives for a pair whose counted bytes
// (ChecksumByteCount with `limit`) are at most one block on each side, read
// already: `sourceData` and `targetData` hold each file's counted bytes.
// Sets both entries' checksum fields as ReadPairSideBySide does.
PairReading SettleWholeBlocks(FileEntry& source, const char* sourceData, FileEntry& target,
                              const char* targetData, uint64_t limit);

}  // namespace ravelmoor
