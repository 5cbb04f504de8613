#include "core/engine/ComparisonRules.h"

#include "core/engine/Checksum.h"
#include "core/engine/ProgressText.h"
#include "core/engine/TimestampRule.h"

namespace ravelmoor {
namespace {

void SetPairStatus(FileEntry& source, FileEntry& target, bool same) {
    if (same) {
        source.status = EntryStatus::Matched;
        target.status = EntryStatus::Matched;
    } else if (source.lastWrite >= target.lastWrite) {
        // Equal times that differ in size or content come out Source newer.
        source.status = EntryStatus::Newer;
        target.status = EntryStatus::Older;
    } else {
        source.status = EntryStatus::Older;
        target.status = EntryStatus::Newer;
    }
}

}  // namespace

bool ClassifyWithoutReading(FileEntry& source, FileEntry& target, const ComparisonRules& rules) {
    if (source.IsBlank()) {
        source.status = EntryStatus::Missing;
        target.status = EntryStatus::Unmatched;
        return false;
    }
    if (target.IsBlank()) {
        source.status = EntryStatus::Unmatched;
        target.status = EntryStatus::Missing;
        return false;
    }
    if (source.IsFolder() || target.IsFolder()) {
        SetPairStatus(source, target, true);  // paired folders are always equal
        return false;
    }
    if (rules.method == ComparisonMethod::SizeAndTimestamp ||
        rules.method == ComparisonMethod::Both) {
        const bool same =
            SizeAndTimestampEqual(source, target, rules.toleranceSeconds, rules.ignoreOneHour);
        // In Both, only pairs that pass size and time are read.
        if (!same || rules.method == ComparisonMethod::SizeAndTimestamp) {
            SetPairStatus(source, target, same);
            return false;
        }
    }
    return true;
}

PairReading ReadPairChecksums(FileEntry& source, FileEntry& target, const ComparisonRules& rules,
                              const PairData& data) {
    if (data.sideBySide) {
        const PairSources from{data.sourceFs,     data.sourceFolder, data.targetFs,
                               data.targetFolder, rules.crcChunk,    data.cancel,
                               data.bytesChecked};
        return ReadPairSideBySide(source, target, from);
    }
    const bool ok = ComputeChecksum(source, data.sourceFs, data.sourceFolder, rules.crcChunk,
                                    data.cancel, data.bytesChecked) &&
                    ComputeChecksum(target, data.targetFs, data.targetFolder, rules.crcChunk,
                                    data.cancel, data.bytesChecked);
    return ok ? PairReading::Summed : PairReading::Unreadable;
}

void ClassifyByChecksums(FileEntry& source, FileEntry& target, PairReading reading) {
    if (reading == PairReading::Unreadable) {
        source.excluded = 1;
        target.excluded = 1;
        SetPairStatus(source, target, true);
        return;
    }
    SetPairStatus(source, target,
                  reading == PairReading::Summed && source.checksum == target.checksum);
}

bool ClassifyPair(FileEntry& source, FileEntry& target, const ComparisonRules& rules,
                  const PairData& data, ProgressText* display) {
    if (display != nullptr) display->Show(source.path.str());
    if (!ClassifyWithoutReading(source, target, rules)) return true;
    const PairReading reading = ReadPairChecksums(source, target, rules, data);
    ClassifyByChecksums(source, target, reading);
    return reading != PairReading::Unreadable;
}

}  // namespace ravelmoor
