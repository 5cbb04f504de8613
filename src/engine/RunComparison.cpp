// The body of a comparison run: list, sort, walk both sorted lists together.
#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/CaseFold.h"
#include "engine/FolderComparer.h"
#include "engine/MatchKey.h"
#include "engine/Prompter.h"
#include "engine/ScanFolder.h"
#include "engine/Trace.h"

namespace ravelmoor {
namespace {

constexpr const char* kUnreadableDataQuestion =
    "Warning: some file data could not be read. The file may be currently in use by an other "
    "application. Press \"OK\" to continue and exclude this file from the comparison. Press "
    "\"CANCEL\" to stop the comparison.";

constexpr const char* kSortMemoryMessage =
    "There is not enough memory to sort the list of files, so the comparison was stopped.";

class Stopwatch {
  public:
    int Seconds() const {
        return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(
                                    std::chrono::steady_clock::now() - start_)
                                    .count());
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Folders of one side that could not be listed, as key prefixes: every key
// that starts with one of them lies below such a folder.
class UnlistablePrefixes {
  public:
    void Build(const std::vector<std::string>& folders) {
        prefixes_.clear();
        for (const auto& folder : folders)
            prefixes_.push_back(FoldCase(folder));
        std::sort(prefixes_.begin(), prefixes_.end(),
                  [](const std::string& a, const std::string& b) { return CompareKeys(a, b) < 0; });
    }

    bool Covers(std::string_view key) const {
        if (prefixes_.empty()) return false;
        // The candidate is the greatest prefix that does not sort after the key.
        auto it = std::upper_bound(
            prefixes_.begin(), prefixes_.end(), key,
            [](std::string_view k, const std::string& p) { return CompareKeys(k, p) < 0; });
        if (it == prefixes_.begin()) return false;
        --it;
        return key.substr(0, it->size()) == *it;
    }

  private:
    std::vector<std::string> prefixes_;
};

std::string WithoutMarkers(std::string_view text) {
    std::string out(text);
    out.erase(std::remove(out.begin(), out.end(), kFolderMarker), out.end());
    return out;
}

}  // namespace

int FolderComparer::EndWithoutResult() {
    CloseFtpSide();
    sourceScan_.Clear();
    targetScan_.Clear();
    SetPhase(ComparisonPhase::EndedWithoutResult);
    return 1;
}

bool FolderComparer::ListSide(Side side) {
    const bool isSource = side == Side::Source;
    FileList& list = isSource ? sourceScan_ : targetScan_;
    FileSystem& fs = SideFileSystem(side);
    const std::string& root = isSource ? SourceFolder() : TargetFolder();
    std::vector<std::string> unlistable;

    ScanOptions options;
    options.includeSubFolders = includeSubFolders_;
    options.recordFolders = includeSubFolders_;
    options.cancel = &cancel_;
    options.counter = isSource ? &sourceCount_ : &targetCount_;
    options.unlistable = &unlistable;
    auto& leftovers = isSource ? leftoversSource_ : leftoversTarget_;
    options.leftovers = &leftovers;
    const ScanResult result = ScanFolder(fs, list, root, options);
    if (!result.ok) {
        // A cancel that broke a server call is no failure to report.
        if (!Cancelled()) {
            prompter_.Warn(isSource ? "Error: cannot read source file information"
                                    : "Error: cannot read target file information");
        }
        cancel_.store(1);
        return false;
    }
    if (!unlistable.empty() && unlistable.front().empty()) {
        // The root itself: an empty side would pass for one whose files are
        // all gone, and a sync would delete the other side's.
        prompter_.Warn(std::string(isSource ? "Error: cannot read source file information"
                                            : "Error: cannot read target file information") +
                       ": the folder \"" + root + "\" can not be listed (" +
                       fs.WhyNotListable(root) + ").");
        cancel_.store(1);
        return false;
    }
    auto& remembered = isSource ? unlistableSource_ : unlistableTarget_;
    for (const auto& folder : unlistable)
        remembered.push_back(folder);
    for (auto& path : leftovers)
        path = WithoutMarkers(path);
    return !Cancelled();
}

bool FolderComparer::ListBothSides() {
    // The Target is listed on a second thread while this one lists and sorts
    // the Source: listing is mostly waiting for the file system, and the two
    // sides do not share anything but the cancel word.
    bool targetListed = false;
    TraceLine("Add Target Dir\n");
    std::thread targetLister([this, &targetListed] { targetListed = ListSide(Side::Target); });

    TraceLine("Add Source Dir\n");
    Stopwatch sourceTime;
    bool sourceDone = ListSide(Side::Source);
    if (sourceDone) {
        SetPhase(ComparisonPhase::Sorting);
        if (!sourceScan_.Sort(&cancel_)) {
            cancel_.store(1);
            targetLister.join();
            prompter_.Warn(kSortMemoryMessage);
            return false;
        }
        sourceDone = !Cancelled();
        TraceLine("Source Dir: %d seconds\n", sourceTime.Seconds());
    }
    SetPhase(ComparisonPhase::CollectingTarget);
    targetLister.join();
    if (!sourceDone || !targetListed) return false;

    Stopwatch targetTime;
    SetPhase(ComparisonPhase::Sorting);
    if (!targetScan_.Sort(&cancel_)) {
        prompter_.Warn(kSortMemoryMessage);
        return false;
    }
    TraceLine("Target Dir: %d seconds\n", targetTime.Seconds());
    return !Cancelled();
}

int FolderComparer::RunComparison() {
    Stopwatch total;
    sourceScan_.Clear();
    targetScan_.Clear();
    unlistableSource_.clear();
    unlistableTarget_.clear();
    leftoversSource_.clear();
    leftoversTarget_.clear();

    if (!OpenFtpSide()) return EndWithoutResult();

    if (!ListBothSides()) return EndWithoutResult();

    SetPhase(ComparisonPhase::PreparingComparison);
    SetPhase(ComparisonPhase::Comparing);
    if (filter_) filter_->Compile();

    TraceLine("Comparing...\n");
    Stopwatch walkTime;
    if (!Walk()) return EndWithoutResult();
    TraceLine("Comparing Dir: %d seconds\n", walkTime.Seconds());
    TraceLine("Total time: %d seconds\n", total.Seconds());

    CloseFtpSide();
    sourceScan_.Clear();
    targetScan_.Clear();
    SetPhase(ComparisonPhase::Completed);
    return 0;
}

bool FolderComparer::Walk() {
    const size_t sourceCount = sourceScan_.GetSize();
    const size_t targetCount = targetScan_.GetSize();
    // Path texts move from the scan lists to the result lists without a copy,
    // and scan blocks are freed as the walk leaves them behind.
    sourceResults_.AdoptStorage(sourceScan_);
    targetResults_.AdoptStorage(targetScan_);

    UnlistablePrefixes sourceUnlistable;
    UnlistablePrefixes targetUnlistable;
    sourceUnlistable.Build(unlistableSource_);
    targetUnlistable.Build(unlistableTarget_);
    for (auto& folder : unlistableSource_)
        folder = WithoutMarkers(folder);
    for (auto& folder : unlistableTarget_)
        folder = WithoutMarkers(folder);
    const bool anyUnlistable = !unlistableSource_.empty() || !unlistableTarget_.empty();

    std::string sourceKey;
    std::string targetKey;
    std::vector<uint32_t> waitingForChecksums;
    size_t i = 0;
    size_t j = 0;
    size_t keyedSource = SIZE_MAX;
    size_t keyedTarget = SIZE_MAX;
    // Each entry gets its key and its filter test once, when the walk reaches it.
    auto keyEntry = [this](FileList& scan, size_t at, std::string& key) {
        key.clear();
        AppendFolded(scan.ElementAt(at).path, key);
        if (filter_ && filter_->IsExcluded(key)) scan.ElementAt(at).excluded = 1;
        scan.ReleaseBlocksBefore(at);
    };

    while (i < sourceCount || j < targetCount) {
        if (Cancelled()) return false;
        if (i != keyedSource && i < sourceCount) {
            keyedSource = i;
            keyEntry(sourceScan_, i, sourceKey);
        }
        if (j != keyedTarget && j < targetCount) {
            keyedTarget = j;
            keyEntry(targetScan_, j, targetKey);
        }
        sourceResults_.SetCurrentName(sourceKey);

        int order = 0;
        if (i < sourceCount && j < targetCount) {
            order = CompareKeys(sourceKey, targetKey);
        } else {
            order = i < sourceCount ? -1 : 1;
        }

        size_t row = 0;
        if (order == 0) {
            row = sourceResults_.AddTransferred(sourceScan_.ElementAt(i));
            targetResults_.AddTransferred(targetScan_.ElementAt(j));
            FileEntry& source = sourceResults_.ElementAt(row);
            FileEntry& target = targetResults_.ElementAt(row);
            source.RemoveFolderMarkers();
            target.RemoveFolderMarkers();
            if (ClassifyWithoutReading(source, target)) {
                waitingForChecksums.push_back(static_cast<uint32_t>(row));
            }
            ++i;
            ++j;
        } else if (order < 0) {
            row = sourceResults_.AddTransferred(sourceScan_.ElementAt(i));
            targetResults_.AddBlank();
            sourceResults_.ElementAt(row).RemoveFolderMarkers();
            ClassifyWithoutReading(sourceResults_.ElementAt(row), targetResults_.ElementAt(row));
            ++i;
        } else {
            row = sourceResults_.AddBlank();
            targetResults_.AddTransferred(targetScan_.ElementAt(j));
            targetResults_.ElementAt(row).RemoveFolderMarkers();
            ClassifyWithoutReading(sourceResults_.ElementAt(row), targetResults_.ElementAt(row));
            ++j;
        }

        if (anyUnlistable) {
            const std::string& key = order <= 0 ? sourceKey : targetKey;
            // Below a folder that one side could not list, the other side's
            // entries have no known counterpart: keep every method away.
            if (sourceUnlistable.Covers(key) || targetUnlistable.Covers(key)) {
                sourceResults_.ElementAt(row).excluded = 1;
                targetResults_.ElementAt(row).excluded = 1;
            }
        }
    }
    if (!ChecksumRows(waitingForChecksums)) return false;

    for (size_t row = 0; row < sourceResults_.GetSize(); ++row) {
        const FileEntry& source = sourceResults_.ElementAt(row);
        const FileEntry& target = targetResults_.ElementAt(row);
        if (source.status != EntryStatus::Matched && source.excluded == 0 && target.excluded == 0) {
            allIdentical_ = false;
            break;
        }
    }
    return true;
}

bool FolderComparer::ChecksumRows(const std::vector<uint32_t>& rows) {
    if (rows.empty()) return true;
    // One byte per row, not vector<bool>: two threads write neighbouring rows.
    std::vector<uint8_t> readOk(rows.size(), 0);
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k = next++; k < rows.size() && !Cancelled(); k = next++) {
            FileEntry& source = sourceResults_.ElementAt(rows[k]);
            FileEntry& target = targetResults_.ElementAt(rows[k]);
            sourceResults_.SetCurrentName(source.path.view());
            readOk[k] = ReadChecksums(source, target) ? 1 : 0;
        }
    };
    // Reading files is mostly waiting for the file system, so a second
    // thread nearly halves it. An FTP side has one connection: one thread.
    std::thread helper;
    if (!SourceIsFtp() && !TargetIsFtp() && rows.size() > 1) helper = std::thread(work);
    work();
    if (helper.joinable()) helper.join();
    if (Cancelled()) return false;  // a read broken by a cancel asks nothing

    for (size_t k = 0; k < rows.size(); ++k) {
        ClassifyByChecksums(sourceResults_.ElementAt(rows[k]), targetResults_.ElementAt(rows[k]),
                            readOk[k] != 0);
        if (readOk[k] == 0 && !prompter_.AskOkCancel(kUnreadableDataQuestion)) return false;
    }
    return true;
}

}  // namespace ravelmoor
