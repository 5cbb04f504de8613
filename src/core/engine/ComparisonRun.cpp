#include "core/engine/ComparisonRun.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

#include "core/engine/CaseFold.h"
#include "core/engine/CoarseTimes.h"
#include "core/engine/Comparison.h"
#include "core/engine/EntryFilter.h"
#include "core/engine/FolderPairReader.h"
#include "core/engine/KeyPrefixes.h"
#include "core/engine/MatchKey.h"
#include "core/engine/PairReaders.h"
#include "core/engine/Prompter.h"
#include "core/engine/ScanFolder.h"
#include "core/engine/Trace.h"
#include "core/engine/TreeScan.h"
#include "core/engine/WalkCursor.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr const char* kUnreadableDataQuestion = QT_TRANSLATE_NOOP(
    "ComparisonRun",
    "Warning: some file data could not be read. The file may be currently in use by an other "
    "application. Press \"OK\" to continue and exclude this file from the comparison. Press "
    "\"CANCEL\" to stop the comparison.");

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

// A side's scan list as the walk may read it while it is being filled; the
// folders the side could not list reach the walk's prefixes before it reads
// past them.
class ListedSoFar : public WalkFeed {
  public:
    ListedSoFar(TreeScan& scan, size_t tree, KeyPrefixes& unlistable)
        : scan_(scan), tree_(tree), unlistable_(unlistable) {}

    size_t Await(size_t entry) override {
        const size_t available = scan_.Await(tree_, entry, fresh_);
        for (const std::string& folder : fresh_)
            unlistable_.AddFolder(folder);
        fresh_.clear();
        return available;
    }

  private:
    TreeScan& scan_;
    size_t tree_;
    KeyPrefixes& unlistable_;
    std::vector<std::string> fresh_;
};

// Threads that list folders and read file data. With a warm cache the work
// is the processor's, so one per core; the environment variable
// RAVELMOOR_THREADS sets it for measurements.
size_t EngineThreads() {
    if (const char* text = std::getenv("RAVELMOOR_THREADS"); text != nullptr) {
        const long wanted = std::strtol(text, nullptr, 10);
        if (wanted >= 1 && wanted <= 64) return static_cast<size_t>(wanted);
    }
    return std::clamp<size_t>(std::thread::hardware_concurrency(), 2, 8);
}

std::string WithoutMarkers(std::string_view text) {
    std::string out(text);
    RemoveFolderMarkers(out);
    return out;
}

}  // namespace

ComparisonRun::ComparisonRun(Comparison& comparison, Prompter& prompter)
    : comparison_(comparison), prompter_(prompter) {}

ComparisonRun::~ComparisonRun() {
    Cancel();
    InterruptSides();
    Wait();
}

void ComparisonRun::Start() {
    Wait();
    SetPhase(ComparisonPhase::CollectingSource);
    {
        std::lock_guard<std::mutex> guard(endLock_);
        running_ = true;
    }
    worker_ = std::thread([this] {
        Run();
        std::lock_guard<std::mutex> guard(endLock_);
        running_ = false;
        ended_.notify_all();
    });
}

bool ComparisonRun::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(endLock_);
    return ended_.wait_for(lock, timeout, [this] { return !running_; });
}

void ComparisonRun::Wait() {
    if (worker_.joinable()) worker_.join();
}

void ComparisonRun::Cancel() {
    cancel_.store(1);
}

void ComparisonRun::InterruptSides() {
    comparison_.Sides().Interrupt();
}

int ComparisonRun::EndWithoutResult() {
    comparison_.Sides().CloseRemote();
    sourceScan_.Clear();
    targetScan_.Clear();
    SetPhase(ComparisonPhase::EndedWithoutResult);
    return 1;
}

bool ComparisonRun::CheckListedSide(bool isSource, const ScanResult& result,
                                    const std::vector<std::string>& unlistable,
                                    const std::string& whyRootUnlistable) {
    const Side side = isSource ? Side::Source : Side::Target;
    const std::string& root = comparison_.Sides().Folder(side);
    if (!result.ok) {
        // A cancel that broke a server call is no failure to report.
        if (!Cancelled()) {
            prompter_.Warn(FillIn(
                isSource ? QCoreApplication::translate("ComparisonRun",
                                                       "Error: cannot read source file information")
                         : QCoreApplication::translate(
                               "ComparisonRun", "Error: cannot read target file information")));
        }
        cancel_.store(1);
        return false;
    }
    if (!unlistable.empty() && unlistable.front().empty()) {
        // The root itself: an empty side would pass for one whose files are
        // all gone, and a sync would delete the other side's.
        prompter_.Warn(FillIn(
            isSource ? QCoreApplication::translate("ComparisonRun",
                                                   "Error: cannot read source file information: "
                                                   "the folder \"%1\" can not be listed (%2).")
                     : QCoreApplication::translate("ComparisonRun",
                                                   "Error: cannot read target file information: "
                                                   "the folder \"%1\" can not be listed (%2)."),
            {root, whyRootUnlistable}));
        cancel_.store(1);
        return false;
    }
    auto& remembered = isSource ? comparison_.Findings().unlistableSource
                                : comparison_.Findings().unlistableTarget;
    for (const auto& folder : unlistable)
        remembered.push_back(folder);
    for (auto& path : comparison_.LeftoversOf(isSource))
        path = WithoutMarkers(path);
    return true;
}

bool ComparisonRun::ListAndWalk() {
    // Both sides are listed by one set of threads taking folders from one
    // queue (TreeScan.h); a local side lists several folders at once, a
    // server one at a time. The scan puts each folder's children in key
    // order as it goes, so the lists need no sort of their own.
    std::vector<std::string> unlistable[2];
    std::string whyRootUnlistable[2];
    ScanOptions options[2];
    for (const bool isSource : {true, false}) {
        ScanOptions& o = options[isSource ? 0 : 1];
        o.includeSubFolders = comparison_.Rules().includeSubFolders;
        o.recordFolders = comparison_.Rules().includeSubFolders;
        o.cancel = &cancel_;
        o.counter = isSource ? &sourceCount_ : &targetCount_;
        o.unlistable = &unlistable[isSource ? 0 : 1];
        o.whyRootUnlistable = &whyRootUnlistable[isSource ? 0 : 1];
        o.leftovers = &comparison_.LeftoversOf(isSource);
    }
    FileSystem& sourceFs = comparison_.Sides().FileSystemOf(Side::Source);
    FileSystem& targetFs = comparison_.Sides().FileSystemOf(Side::Target);
    const ScanSide source{sourceFs, sourceScan_, comparison_.Sides().Folder(Side::Source),
                          options[0]};
    const ScanSide target{targetFs, targetScan_, comparison_.Sides().Folder(Side::Target),
                          options[1]};
    TreeScan scan;
    std::optional<FolderPairReader> reader;
    if (sourceFs.ListsConcurrently() && targetFs.ListsConcurrently()) {
        // Two local sides are listed folder pair by folder pair, and where
        // data is compared, the small files of each pair are read at once.
        if (comparison_.Rules().method != ComparisonMethod::SizeAndTimestamp &&
            sourceFs.ReadsLocalFiles() && targetFs.ReadsLocalFiles())
            reader.emplace(comparison_.Rules(), &cancel_, &bytesChecked_);
        scan.AddPair(source, target, reader ? &*reader : nullptr);
    } else {
        scan.Add(sourceFs, sourceScan_, source.folder, options[0], false);
        scan.Add(targetFs, targetScan_, target.folder, options[1], false);
    }
    TraceLine("Add Source Dir\n");
    TraceLine("Add Target Dir\n");
    Stopwatch listTime;
    scan.OnTreeDone([this](size_t tree) {
        if (tree == 0) {
            SetPhase(ComparisonPhase::Sorting);
            SetPhase(ComparisonPhase::CollectingTarget);
        }
    });
    // The walk pairs what is listed while the listing goes on, on this
    // thread; pairs that wait for their data go to the readers at once.
    const SideProvider& sides = comparison_.Sides();
    const bool bothLocal = sides.IsLocal(Side::Source) && sides.IsLocal(Side::Target);
    std::optional<PairReaders> readers;
    if (comparison_.Rules().method != ComparisonMethod::SizeAndTimestamp) {
        // An FTP side has one connection, used by this thread: its pairs
        // are read here once the walk is done.
        readers.emplace(comparison_.Rules(), PairDataOf(bothLocal), comparison_.SourceResults(),
                        bothLocal ? EngineThreads() : 0);
    }
    sourceScan_.AllowReadingWhileGrowing();
    targetScan_.AllowReadingWhileGrowing();
    scan.Start(EngineThreads());
    const bool walked = Walk(scan, readers ? &*readers : nullptr);
    // A walk ends early only when cancelled, which stops the listing too.
    const std::vector<ScanResult> results = scan.Finish();
    // The walk moved entries to the result lists without their texts.
    comparison_.SourceResults().AdoptStorage(sourceScan_);
    comparison_.TargetResults().AdoptStorage(targetScan_);
    TraceLine("Source and Target Dir: %d seconds\n", listTime.Seconds());
    if (!walked || !CheckListedSide(true, results[0], unlistable[0], whyRootUnlistable[0]) ||
        !CheckListedSide(false, results[1], unlistable[1], whyRootUnlistable[1])) {
        // A run that ends while listing keeps no rows, as when pairing
        // began only after the listing; the readers let go of them first.
        readers.reset();
        comparison_.SourceResults().Clear();
        comparison_.TargetResults().Clear();
        return false;
    }
    for (auto* folders :
         {&comparison_.Findings().unlistableSource, &comparison_.Findings().unlistableTarget}) {
        for (auto& folder : *folders)
            folder = WithoutMarkers(folder);
    }
    SetPhase(ComparisonPhase::Sorting);
    SetPhase(ComparisonPhase::PreparingComparison);
    SetPhase(ComparisonPhase::Comparing);
    if (readers && !ClassifyReadPairs(*readers)) return false;
    comparison_.Findings().exactTimesAsked =
        SettleCoarseTimes(comparison_.SourceResults(), comparison_.TargetResults(),
                          comparison_.Rules(), PairDataOf(bothLocal));
    return !Cancelled();
}

int ComparisonRun::Run() {
    Stopwatch total;
    sourceScan_.Clear();
    targetScan_.Clear();
    comparison_.Findings().unlistableSource.clear();
    comparison_.Findings().unlistableTarget.clear();
    comparison_.Findings().unreadableFiles.clear();
    comparison_.Findings().leftoversSource.clear();
    comparison_.Findings().leftoversTarget.clear();

    if (!comparison_.Sides().OpenRemote(&cancel_)) return EndWithoutResult();
    comparison_.Findings().targetIgnoresCase =
        comparison_.Sides().FileSystemOf(Side::Target).IgnoresCase(comparison_.TargetFolder());

    // The walk starts with the listing, so the filters are ready before it.
    if (filter_) filter_->Compile();
    TraceLine("Comparing...\n");
    if (!ListAndWalk()) return EndWithoutResult();
    SetAllIdentical();
    if (!comparison_.Findings().caseClashes.empty()) prompter_.Warn(comparison_.CaseClashWarning());
    TraceLine("Total time: %d seconds\n", total.Seconds());

    comparison_.Sides().CloseRemote();
    sourceScan_.Clear();
    targetScan_.Clear();
    SetPhase(ComparisonPhase::Completed);
    return 0;
}

bool ComparisonRun::Walk(TreeScan& scan, PairReaders* readers) {
    KeyPrefixes sourceUnlistable;
    KeyPrefixes targetUnlistable;
    ListedSoFar sourceListed(scan, 0, sourceUnlistable);
    ListedSoFar targetListed(scan, 1, targetUnlistable);
    KeyPrefixes clashFolders;
    comparison_.Findings().caseClashes.clear();

    WalkCursor source(sourceScan_, filter_.get(), &sourceListed);
    WalkCursor target(targetScan_, filter_.get(), &targetListed);
    std::vector<uint32_t> waitingForChecksums;
    std::vector<std::pair<size_t, size_t>> groupRows;  // source index, target index; SIZE_MAX: none

    size_t groupsWalked = 0;
    while (!source.Done() || !target.Done()) {
        if (Cancelled()) return false;
        int order = 0;
        if (!source.Done() && !target.Done()) {
            order = CompareKeys(source.Key(), target.Key());
        } else {
            order = source.Done() ? 1 : -1;
        }
        const std::string& key = order <= 0 ? source.Key() : target.Key();
        // The display polls the name a few times a second; telling it every
        // row would take a lock and a copy per row.
        if ((groupsWalked++ & 255) == 0) comparison_.SourceResults().SetCurrentName(key);
        const size_t sourceGroup = order <= 0 ? source.GroupSize() : 0;
        const size_t targetGroup = order >= 0 ? target.GroupSize() : 0;

        PairGroup(source.At(), sourceGroup, target.At(), targetGroup, groupRows);
        // Names that differ only in case would land on one name on the Target.
        const bool clash = comparison_.Findings().targetIgnoresCase && sourceGroup > 1;
        const bool belowClash = !clashFolders.empty() && clashFolders.Covers(key);
        const bool belowUnlistable = sourceUnlistable.Covers(key) || targetUnlistable.Covers(key);
        bool clashIsFolder = false;
        for (const auto& [s, t] : groupRows) {
            const size_t row = EmitRow(s, t, waitingForChecksums);
            if (clash || belowClash || belowUnlistable) {
                // Keep every method away from these rows.
                comparison_.SourceResults().ElementAt(row).excluded = 1;
                comparison_.TargetResults().ElementAt(row).excluded = 1;
            }
            if (clash && s != SIZE_MAX) {
                comparison_.Findings().caseClashes.push_back(
                    comparison_.SourceResults().ElementAt(row).path.str());
                clashIsFolder = comparison_.SourceResults().ElementAt(row).IsFolder();
            }
        }
        if (clashIsFolder) clashFolders.AddFolderKey(key);
        for (const uint32_t row : waitingForChecksums) {
            if (readers)
                readers->Add(row, comparison_.SourceResults().ElementAt(row),
                             comparison_.TargetResults().ElementAt(row));
        }
        waitingForChecksums.clear();
        source.Advance(sourceGroup);
        target.Advance(targetGroup);
    }
    // A cancel may also have stopped the listing short, which the cursors
    // take for its end.
    return !Cancelled();
}

void ComparisonRun::SetAllIdentical() {
    for (size_t row = 0; row < comparison_.SourceResults().GetSize(); ++row) {
        const FileEntry& sourceEntry = comparison_.SourceResults().ElementAt(row);
        const FileEntry& targetEntry = comparison_.TargetResults().ElementAt(row);
        if (sourceEntry.status != EntryStatus::Matched && sourceEntry.excluded == 0 &&
            targetEntry.excluded == 0) {
            comparison_.Findings().allIdentical = false;
            break;
        }
    }
}

PairData ComparisonRun::PairDataOf(bool bothLocal) {
    return {comparison_.SourceFileSystem(),
            comparison_.SourceFolder(),
            comparison_.TargetFileSystem(),
            comparison_.TargetFolder(),
            &cancel_,
            &bytesChecked_,
            bothLocal};
}

void ComparisonRun::PairGroup(size_t sourceAt, size_t sourceCount, size_t targetAt,
                              size_t targetCount, std::vector<std::pair<size_t, size_t>>& rows) {
    rows.clear();
    if (sourceCount <= 1 && targetCount <= 1) {
        // The usual case: at most one name on each side, paired by folded key.
        rows.emplace_back(sourceCount == 1 ? sourceAt : SIZE_MAX,
                          targetCount == 1 ? targetAt : SIZE_MAX);
        return;
    }
    // Names that fold equal on one side (A.txt and a.txt): a name pairs with
    // its exact spelling first; only a single name left on each side pairs
    // by case. The rest stand alone, so no two of them share a destination.
    std::vector<bool> targetTaken(targetCount, false);
    size_t sourceLeft = 0;
    for (size_t s = 0; s < sourceCount; ++s) {
        const EntryPath& name = sourceScan_.ElementAt(sourceAt + s).path;
        size_t partner = SIZE_MAX;
        for (size_t t = 0; t < targetCount && partner == SIZE_MAX; ++t) {
            if (!targetTaken[t] && targetScan_.ElementAt(targetAt + t).path == name) partner = t;
        }
        if (partner != SIZE_MAX) {
            targetTaken[partner] = true;
            rows.emplace_back(sourceAt + s, targetAt + partner);
        } else {
            rows.emplace_back(sourceAt + s, SIZE_MAX);
            ++sourceLeft;
        }
    }
    const size_t targetLeft =
        static_cast<size_t>(std::count(targetTaken.begin(), targetTaken.end(), false));
    size_t loneTarget = SIZE_MAX;
    if (sourceLeft == 1 && targetLeft == 1) {
        loneTarget = static_cast<size_t>(std::find(targetTaken.begin(), targetTaken.end(), false) -
                                         targetTaken.begin());
        for (auto& row : rows) {
            if (row.second == SIZE_MAX) row.second = targetAt + loneTarget;
        }
        targetTaken[loneTarget] = true;
    }
    for (size_t t = 0; t < targetCount; ++t) {
        if (!targetTaken[t]) rows.emplace_back(SIZE_MAX, targetAt + t);
    }
    // Listing order is the directory's; byte order of the names is the same every time.
    auto name = [this](const std::pair<size_t, size_t>& row) -> const EntryPath& {
        return row.first != SIZE_MAX ? sourceScan_.ElementAt(row.first).path
                                     : targetScan_.ElementAt(row.second).path;
    };
    std::sort(rows.begin(), rows.end(),
              [&name](const auto& a, const auto& b) { return name(a).Compare(name(b)) < 0; });
}

size_t ComparisonRun::EmitRow(size_t sourceIndex, size_t targetIndex,
                              std::vector<uint32_t>& waitingForChecksums) {
    const size_t row =
        sourceIndex != SIZE_MAX
            ? comparison_.SourceResults().AddTransferred(sourceScan_.ElementAt(sourceIndex))
            : comparison_.SourceResults().AddBlank();
    if (targetIndex != SIZE_MAX) {
        comparison_.TargetResults().AddTransferred(targetScan_.ElementAt(targetIndex));
    } else {
        comparison_.TargetResults().AddBlank();
    }
    FileEntry& source = comparison_.SourceResults().ElementAt(row);
    FileEntry& target = comparison_.TargetResults().ElementAt(row);
    // A pair read while it was listed carries what its reading found; the
    // marks never reach a result list.
    constexpr uint32_t kListedRead = kListedSummedAttribute | kListedDiffersAttribute;
    const uint32_t listed = source.attributes & target.attributes & kListedRead;
    source.attributes = static_cast<uint16_t>(source.attributes & ~kListedRead);
    target.attributes = static_cast<uint16_t>(target.attributes & ~kListedRead);
    if (ClassifyWithoutReading(source, target, comparison_.Rules())) {
        if (listed != 0) {
            ClassifyByChecksums(source, target,
                                (listed & kListedDiffersAttribute) != 0 ? PairReading::Differs
                                                                        : PairReading::Summed);
        } else {
            waitingForChecksums.push_back(static_cast<uint32_t>(row));
        }
    }
    return row;
}

bool ComparisonRun::ClassifyReadPairs(PairReaders& readers) {
    readers.Finish();
    if (Cancelled()) return false;  // a read broken by a cancel asks nothing
    for (const PairReaders::Pair& pair : readers.Pairs()) {
        ClassifyByChecksums(*pair.source, *pair.target, pair.reading);
        if (pair.reading != PairReading::Unreadable) continue;
        const FileEntry& named = pair.source->IsBlank() ? *pair.target : *pair.source;
        comparison_.Findings().unreadableFiles.push_back(named.path.str());
        if (!prompter_.AskOkCancel(Translated("ComparisonRun", kUnreadableDataQuestion)))
            return false;
    }
    return true;
}

}  // namespace ravelmoor
