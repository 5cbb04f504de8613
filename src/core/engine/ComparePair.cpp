#include "core/engine/Checksum.h"
#include "core/engine/FolderComparer.h"
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

bool FolderComparer::ClassifyWithoutReading(FileEntry& source, FileEntry& target) const {
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
    if (method_ == ComparisonMethod::SizeAndTimestamp || method_ == ComparisonMethod::Both) {
        const bool same = SizeAndTimestampEqual(source, target, tolerance_, oneHour_);
        // In Both, only pairs that pass size and time are read.
        if (!same || method_ == ComparisonMethod::SizeAndTimestamp) {
            SetPairStatus(source, target, same);
            return false;
        }
    }
    return true;
}

bool FolderComparer::ReadChecksums(FileEntry& source, FileEntry& target) {
    return ComputeChecksum(source, SourceFileSystem(), SourceFolder(), chunk_, &cancel_,
                           &bytesChecked_) &&
           ComputeChecksum(target, TargetFileSystem(), TargetFolder(), chunk_, &cancel_,
                           &bytesChecked_);
}

void FolderComparer::ClassifyByChecksums(FileEntry& source, FileEntry& target, bool readOk) {
    if (!readOk) {
        // Data that cannot be read takes no part: the pair counts as equal
        // and is excluded.
        source.excluded = 1;
        target.excluded = 1;
        SetPairStatus(source, target, true);
        return;
    }
    SetPairStatus(source, target, source.checksum == target.checksum);
}

bool FolderComparer::ComparePair(FileEntry& source, FileEntry& target, ProgressText* display) {
    if (display != nullptr) display->Show(source.path.view());
    if (!ClassifyWithoutReading(source, target)) return true;
    const bool readOk = ReadChecksums(source, target);
    ClassifyByChecksums(source, target, readOk);
    return readOk;
}

}  // namespace ravelmoor
