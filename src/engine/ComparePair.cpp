#include "engine/Checksum.h"
#include "engine/FolderComparer.h"
#include "engine/TimestampRule.h"

namespace ravelmoor {

bool FolderComparer::ComparePair(FileEntry& source, FileEntry& target, ProgressText* display) {
    bool readOk = true;
    if (display != nullptr) display->Show(source.path.view());
    if (source.IsBlank()) {
        source.status = EntryStatus::Missing;
        target.status = EntryStatus::Unmatched;
        return readOk;
    }
    if (target.IsBlank()) {
        source.status = EntryStatus::Unmatched;
        target.status = EntryStatus::Missing;
        return readOk;
    }

    bool same = false;
    if (source.IsFolder() || target.IsFolder()) {
        same = true;  // paired folders are always equal
    } else {
        same = true;
        if (method_ == ComparisonMethod::SizeAndTimestamp || method_ == ComparisonMethod::Both) {
            same = SizeAndTimestampEqual(source, target, tolerance_, oneHour_);
        }
        if (same && (method_ == ComparisonMethod::Crc || method_ == ComparisonMethod::Both)) {
            bool ok = ComputeChecksum(source, SourceFileSystem(), SourceFolder(), chunk_, &cancel_,
                                      &bytesChecked_);
            if (ok) {
                ok = ComputeChecksum(target, TargetFileSystem(), TargetFolder(), chunk_, &cancel_,
                                     &bytesChecked_);
            }
            if (!ok) {
                readOk = false;
                source.excluded = 1;
                target.excluded = 1;
                same = true;
            } else {
                same = source.checksum == target.checksum;
            }
        }
    }

    if (same) {
        source.status = EntryStatus::Matched;
        target.status = EntryStatus::Matched;
    } else if (source.lastWrite >= target.lastWrite) {
        source.status = EntryStatus::Newer;
        target.status = EntryStatus::Older;
    } else {
        source.status = EntryStatus::Older;
        target.status = EntryStatus::Newer;
    }
    return readOk;
}

}  // namespace ravelmoor
