#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "core/engine/Checksum.h"
#include "core/engine/ComparisonMethod.h"
#include "core/engine/FileEntry.h"

namespace ravelmoor {

class FileSystem;
class ProgressText;

// How the entries of one comparison are walked and how a pair is judged: a
// plain value, made from the comparison's job, taken over by a comparison
// when it starts and kept with its result, so that rows compared again after
// a synchronisation are judged as the run judged them.
struct ComparisonRules {
    ComparisonMethod method = ComparisonMethod::SizeAndTimestamp;
    // Time differences up to this many seconds count as equal: 0, 2 or 60.
    int32_t toleranceSeconds = 0;
    // A difference of exactly one hour (daylight-saving shifts) counts as equal.
    bool ignoreOneHour = false;
    // Bytes at the start of each file that a checksum reads; 0 = the whole file.
    uint32_t crcChunk = 0;
    bool includeSubFolders = false;

    bool operator==(const ComparisonRules&) const = default;
};

// Where the data of a pair is read from, and what the reading reports to.
struct PairData {
    FileSystem& sourceFs;
    std::string_view sourceFolder;  // an entry's file is at folder + entry.path
    FileSystem& targetFs;
    std::string_view targetFolder;
    const std::atomic<int32_t>* cancel = nullptr;  // ends a checksum early
    std::atomic<uint64_t>* bytesChecked = nullptr;
    // Both files are read side by side and the reading stops at the first
    // differing block (worth it where both sides are local).
    bool sideBySide = false;
};

// Settles a pair without reading file data: a missing side, folders, and
// every pair the size and timestamp rule decides. True when the pair still
// waits for its checksums (CRC, or Both with equal size and time).
bool ClassifyWithoutReading(FileEntry& source, FileEntry& target, const ComparisonRules& rules);

// Reads the checksums of both files of a pair (side by side: see
// ReadPairSideBySide).
PairReading ReadPairChecksums(FileEntry& source, FileEntry& target, const ComparisonRules& rules,
                              const PairData& data);

// Settles a pair that waited for its checksums. Data that could not be read
// takes no part: the pair counts as equal and both entries are excluded.
void ClassifyByChecksums(FileEntry& source, FileEntry& target, PairReading reading);

// Classifies one pair in place, all steps together (the rows compared again
// after a synchronisation); `display`, when given, shows the Source path
// first. False when the data of a file could not be read (both entries are
// then excluded and Matched).
bool ClassifyPair(FileEntry& source, FileEntry& target, const ComparisonRules& rules,
                  const PairData& data, ProgressText* display = nullptr);

}  // namespace ravelmoor
