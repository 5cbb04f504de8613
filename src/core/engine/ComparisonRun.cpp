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
#include "core/engine/MatchKey.h"
#include "core/engine/PairReaders.h"
#include "core/engine/Prompter.h"
#include "core/engine/ScanFolder.h"
#include "core/engine/Trace.h"
#include "core/engine/TreeScan.h"
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

// Key prefixes of folders (a folded key followed by '/'): every key that
// starts with one of them lies below such a folder.
class KeyPrefixes {
  public:
    // Folder texts of a scan list (markers included, ending with '/').
    void BuildFromFolders(const std::vector<std::string>& folders) {
        prefixes_.clear();
        for (const auto& folder : folders)
            prefixes_.push_back(FoldCase(folder));
        std::sort(prefixes_.begin(), prefixes_.end(),
                  [](const std::string& a, const std::string& b) { return CompareKeys(a, b) < 0; });
    }
    // A folder's key; keys arrive in key order, so the list stays sorted.
    void AddFolderKey(std::string_view key) { prefixes_.emplace_back(key).push_back('/'); }
    bool empty() const { return prefixes_.empty(); }

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

// One side's position in the walk. Each entry gets its key and its filter
// test when the walk first looks at it; the key of the entry after the
// current one is kept, because the walk looks one entry ahead to find names
// that fold equal on the same side.
class WalkCursor {
  public:
    WalkCursor(FileList& scan, const EntryFilter* filter)
        : scan_(scan), count_(scan.GetSize()), filter_(filter) {
        if (count_ > 0) KeyEntry(0, key_);
    }

    bool Done() const { return at_ >= count_; }
    size_t At() const { return at_; }
    const std::string& Key() const { return key_; }

    // How many entries from the current one on share its key.
    size_t GroupSize() {
        if (at_ + 1 >= count_) return 1;
        if (nextKeyedAt_ != at_ + 1) {
            KeyEntry(at_ + 1, next_);
            nextKeyedAt_ = at_ + 1;
        }
        if (next_ != key_) return 1;
        size_t size = 2;
        while (at_ + size < count_) {
            KeyEntry(at_ + size, spare_);
            if (spare_ != key_) break;
            ++size;
        }
        return size;
    }

    void Advance(size_t by) {
        if (by == 0) return;
        at_ += by;
        if (Done()) return;
        if (by == 1 && nextKeyedAt_ == at_) {
            key_.swap(next_);
        } else {
            KeyEntry(at_, key_);  // after a group: a second filter test changes nothing
        }
        scan_.ReleaseBlocksBefore(at_);
    }

  private:
    // The key is the folded path with the folder marker before every folder
    // name (the scan's order). Entries of one folder come together, so the
    // folder's part of the key is made once per folder.
    void KeyEntry(size_t at, std::string& key) {
        FileEntry& entry = scan_.ElementAt(at);
        const std::string_view folder = entry.path.Folder();
        if (folder.data() != keyedFolder_.data() || folder.size() != keyedFolder_.size()) {
            keyedFolder_ = folder;
            folderKey_.clear();
            size_t start = 0;
            while (start < folder.size()) {
                const size_t slash = folder.find('/', start);
                folderKey_.push_back(kFolderMarker);
                AppendFoldedName(folder.substr(start, slash - start), folderKey_);
                folderKey_.push_back('/');
                start = slash + 1;
            }
        }
        key.assign(folderKey_);
        if (entry.IsFolder()) key.push_back(kFolderMarker);
        AppendFoldedName(entry.path.Name(), key);
        if (filter_ != nullptr && filter_->IsExcluded(key)) entry.excluded = 1;
    }

    // Folding goes name by name (CaseFold.h), so a name folded on its own
    // gives the bytes it has in the whole path's key.
    void AppendFoldedName(std::string_view name, std::string& out) {
        if (std::memchr(name.data(), kFolderMarker, name.size()) == nullptr) {
            AppendFolded(name, out);
            return;
        }
        escaped_.clear();
        AppendScanName(escaped_, name);
        AppendFolded(escaped_, out);
    }

    FileList& scan_;
    const size_t count_;
    const EntryFilter* filter_;
    size_t at_ = 0;
    std::string key_;
    std::string next_;
    size_t nextKeyedAt_ = SIZE_MAX;
    std::string spare_;
    std::string_view keyedFolder_;  // the folder text folderKey_ was made from
    std::string folderKey_;
    std::string escaped_;
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
                                    const std::vector<std::string>& unlistable) {
    ComparisonFindings& found = comparison_.Findings();
    const Side side = isSource ? Side::Source : Side::Target;
    FileSystem& fs = comparison_.Sides().FileSystemOf(side);
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
            {root, fs.WhyNotListable(root)}));
        cancel_.store(1);
        return false;
    }
    auto& remembered = isSource ? found.unlistableSource : found.unlistableTarget;
    for (const auto& folder : unlistable)
        remembered.push_back(folder);
    for (auto& path : comparison_.LeftoversOf(isSource))
        path = WithoutMarkers(path);
    return true;
}

bool ComparisonRun::ListBothSides() {
    // Both sides are listed by one set of threads taking folders from one
    // queue (TreeScan.h); a local side lists several folders at once, a
    // server one at a time. The scan puts each folder's children in key
    // order as it goes, so the lists need no sort of their own.
    std::vector<std::string> unlistable[2];
    ScanOptions options[2];
    TreeScan scan;
    for (const bool isSource : {true, false}) {
        const Side side = isSource ? Side::Source : Side::Target;
        ScanOptions& o = options[isSource ? 0 : 1];
        o.includeSubFolders = comparison_.Rules().includeSubFolders;
        o.recordFolders = comparison_.Rules().includeSubFolders;
        o.cancel = &cancel_;
        o.counter = isSource ? &sourceCount_ : &targetCount_;
        o.unlistable = &unlistable[isSource ? 0 : 1];
        o.leftovers = &comparison_.LeftoversOf(isSource);
        FileSystem& fs = comparison_.Sides().FileSystemOf(side);
        scan.Add(fs, isSource ? sourceScan_ : targetScan_, comparison_.Sides().Folder(side), o,
                 fs.ListsConcurrently());
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
    const std::vector<ScanResult> results = scan.Run(EngineThreads());
    TraceLine("Source and Target Dir: %d seconds\n", listTime.Seconds());
    if (!CheckListedSide(true, results[0], unlistable[0]) ||
        !CheckListedSide(false, results[1], unlistable[1]))
        return false;
    SetPhase(ComparisonPhase::Sorting);
    return !Cancelled();
}

int ComparisonRun::Run() {
    ComparisonFindings& found = comparison_.Findings();
    Stopwatch total;
    sourceScan_.Clear();
    targetScan_.Clear();
    found.unlistableSource.clear();
    found.unlistableTarget.clear();
    found.unreadableFiles.clear();
    found.leftoversSource.clear();
    found.leftoversTarget.clear();

    if (!comparison_.Sides().OpenRemote(&cancel_)) return EndWithoutResult();
    found.targetIgnoresCase =
        comparison_.Sides().FileSystemOf(Side::Target).IgnoresCase(comparison_.TargetFolder());

    if (!ListBothSides()) return EndWithoutResult();

    SetPhase(ComparisonPhase::PreparingComparison);
    SetPhase(ComparisonPhase::Comparing);
    if (filter_) filter_->Compile();

    TraceLine("Comparing...\n");
    Stopwatch walkTime;
    if (!Walk()) return EndWithoutResult();
    if (!found.caseClashes.empty()) prompter_.Warn(comparison_.CaseClashWarning());
    TraceLine("Comparing Dir: %d seconds\n", walkTime.Seconds());
    TraceLine("Total time: %d seconds\n", total.Seconds());

    comparison_.Sides().CloseRemote();
    sourceScan_.Clear();
    targetScan_.Clear();
    SetPhase(ComparisonPhase::Completed);
    return 0;
}

bool ComparisonRun::Walk() {
    ComparisonFindings& found = comparison_.Findings();
    // Path texts move from the scan lists to the result lists without a copy,
    // and scan blocks are freed as the walk leaves them behind.
    comparison_.SourceResults().AdoptStorage(sourceScan_);
    comparison_.TargetResults().AdoptStorage(targetScan_);

    KeyPrefixes sourceUnlistable;
    KeyPrefixes targetUnlistable;
    sourceUnlistable.BuildFromFolders(found.unlistableSource);
    targetUnlistable.BuildFromFolders(found.unlistableTarget);
    for (auto& folder : found.unlistableSource)
        folder = WithoutMarkers(folder);
    for (auto& folder : found.unlistableTarget)
        folder = WithoutMarkers(folder);
    const bool anyUnlistable = !found.unlistableSource.empty() || !found.unlistableTarget.empty();
    KeyPrefixes clashFolders;
    found.caseClashes.clear();

    WalkCursor source(sourceScan_, filter_.get());
    WalkCursor target(targetScan_, filter_.get());
    std::vector<uint32_t> waitingForChecksums;
    const SideProvider& sides = comparison_.Sides();
    const bool bothLocal = sides.IsLocal(Side::Source) && sides.IsLocal(Side::Target);
    const PairData data{comparison_.SourceFileSystem(),
                        comparison_.SourceFolder(),
                        comparison_.TargetFileSystem(),
                        comparison_.TargetFolder(),
                        &cancel_,
                        &bytesChecked_,
                        bothLocal};
    std::optional<PairReaders> readers;
    if (comparison_.Rules().method != ComparisonMethod::SizeAndTimestamp) {
        // An FTP side has one connection, used by this thread: its pairs
        // are read here once the walk is done.
        readers.emplace(comparison_.Rules(), data, comparison_.SourceResults(),
                        bothLocal ? EngineThreads() : 0);
    }
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
        const bool clash = found.targetIgnoresCase && sourceGroup > 1;
        const bool belowClash = !clashFolders.empty() && clashFolders.Covers(key);
        const bool belowUnlistable =
            anyUnlistable && (sourceUnlistable.Covers(key) || targetUnlistable.Covers(key));
        bool clashIsFolder = false;
        for (const auto& [s, t] : groupRows) {
            const size_t row = EmitRow(s, t, waitingForChecksums);
            if (clash || belowClash || belowUnlistable) {
                // Keep every method away from these rows.
                comparison_.SourceResults().ElementAt(row).excluded = 1;
                comparison_.TargetResults().ElementAt(row).excluded = 1;
            }
            if (clash && s != SIZE_MAX) {
                found.caseClashes.push_back(comparison_.SourceResults().ElementAt(row).path.str());
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
    if (readers && !ClassifyReadPairs(*readers)) return false;
    found.exactTimesAsked = SettleCoarseTimes(
        comparison_.SourceResults(), comparison_.TargetResults(), comparison_.Rules(), data);
    if (Cancelled()) return false;

    for (size_t row = 0; row < comparison_.SourceResults().GetSize(); ++row) {
        const FileEntry& sourceEntry = comparison_.SourceResults().ElementAt(row);
        const FileEntry& targetEntry = comparison_.TargetResults().ElementAt(row);
        if (sourceEntry.status != EntryStatus::Matched && sourceEntry.excluded == 0 &&
            targetEntry.excluded == 0) {
            found.allIdentical = false;
            break;
        }
    }
    return true;
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
    if (ClassifyWithoutReading(source, target, comparison_.Rules())) {
        waitingForChecksums.push_back(static_cast<uint32_t>(row));
    }
    return row;
}

bool ComparisonRun::ClassifyReadPairs(PairReaders& readers) {
    ComparisonFindings& found = comparison_.Findings();
    readers.Finish();
    if (Cancelled()) return false;  // a read broken by a cancel asks nothing
    for (const PairReaders::Pair& pair : readers.Pairs()) {
        ClassifyByChecksums(*pair.source, *pair.target, pair.reading);
        if (pair.reading != PairReading::Unreadable) continue;
        const FileEntry& named = pair.source->IsBlank() ? *pair.target : *pair.source;
        found.unreadableFiles.push_back(named.path.str());
        if (!prompter_.AskOkCancel(Translated("ComparisonRun", kUnreadableDataQuestion)))
            return false;
    }
    return true;
}

}  // namespace ravelmoor
