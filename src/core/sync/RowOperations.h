#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/engine/ComparisonRules.h"
#include "core/sync/FileOperation.h"
#include "core/sync/PlanSync.h"
#include "core/sync/SyncSides.h"

namespace ravelmoor {

class Prompter;
class ProgressText;

// Told what became of each planned copy and deletion as soon as that is
// settled: the object of `row` was copied to `side` (or deleted there, with
// `deletion`). `reason` is FileOperation's, as ItemObserver says.
class SyncObserver {
  public:
    virtual ~SyncObserver() = default;
    virtual void ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                               std::string_view reason) = 0;
};

// Carries out copies and deletions on rows of the paired result lists and
// brings those rows up to date: each destination (or deleted) path is read
// again and its pair compared again, without a new scan. Row numbers stay
// valid through copies; only DeleteRows removes rows, at its very end.
class RowOperations {
  public:
    // Rows compared again are judged by `rules`, their data read through the
    // sides' file systems.
    RowOperations(const ComparisonRules& rules, SyncSides sides, Prompter& prompter);

    // Shows what is being copied, deleted or compared again.
    void SetProgress(ProgressText* progress) { progress_ = progress; }
    // A set cancel word stops the batch in hand (and the plan) between objects.
    void SetCancelWord(const std::atomic<int32_t>* cancel) { cancel_ = cancel; }
    // Whether a replaced file's old version goes to the trash (the default).
    void SetKeepReplaced(bool keep) { keepReplaced_ = keep; }
    // Whether each copy is checked before it goes in place (the default).
    void SetVerify(bool verify) { verify_ = verify; }
    // Told what became of each object (none by default).
    void SetObserver(SyncObserver* observer) { reporter_.observer = observer; }
    // Told about each change before it is made and after (none by default).
    void SetRecorder(ActionRecorder* recorder) { recorder_ = recorder; }
    // Told, in words, of each old run's versions removed from a server (and
    // of each that could not be); none by default.
    void SetVersionNotice(std::function<void(const std::string&)> notice) {
        versionNotice_ = std::move(notice);
    }

    // Removes, on a side that keeps versions on its server, those of runs
    // older than the days the side was given (SidesOf).
    void RemoveOldVersions();

    // Copies the objects of `rows` from Source to Target (`toTarget`) or back
    // (each object, and what it replaces, checked against its row first),
    // then reads each destination again and compares its row again; a parent
    // folder row whose to-side was missing is read and compared again too.
    // False when nothing changed (no row was touched).
    bool CopyRows(const std::vector<uint32_t>& rows, bool toTarget);

    // Deletes the objects of `rows` on the Source side (`sideIsSource`) or the
    // Target side, reads their rows again and drops the rows that are then
    // empty on both sides. False when nothing changed.
    bool DeleteRows(const std::vector<uint32_t>& rows, bool sideIsSource);

    // After an undo: reads the objects at `sourcePaths` and `targetPaths`
    // (below each side's root) again where a row lists them, compares their
    // rows again, and drops the rows then empty on both sides. Objects that
    // no row lists stay unlisted.
    void ReadPathsAgain(const std::vector<std::string>& sourcePaths,
                        const std::vector<std::string>& targetPaths);

    const SyncTally& Tally() const { return tally_; }
    // Some batch was stopped by a Cancel answer or the cancel word.
    bool Aborted() const { return aborted_; }

  private:
    // Passes FileOperation's word on an object of the batch in hand on as
    // its row's.
    struct BatchReporter : ItemObserver {
        void Settled(size_t index, ItemResult result, std::string_view reason) override;
        SyncObserver* observer = nullptr;
        const std::vector<uint32_t>* rows = nullptr;
        ListSide side = ListSide::Target;
        bool deletion = false;
    };

    // A batch on `rows`, changing `side`.
    FileOperation Operation(const std::vector<uint32_t>& rows, ListSide side, bool deletion);
    // Reads the entry at `relativePath` (below the side's root) into the
    // `side` entry of `row`; false (the entry unchanged) when nothing of the
    // kind `folder` is there.
    bool ReadAgain(ListSide side, size_t row, const std::string& relativePath, bool folder);
    void CompareAgain(size_t row);
    // Removes the temporary files of broken copies that the comparison found
    // in the folders of `written` (paths below the side's root).
    void RemoveLeftovers(ListSide side, const std::vector<std::string>& written);

    ComparisonRules rules_;
    SyncSides sides_;
    Prompter& prompter_;
    ProgressText* progress_ = nullptr;
    const std::atomic<int32_t>* cancel_ = nullptr;
    bool keepReplaced_ = true;
    bool verify_ = true;
    SyncTally tally_;
    bool aborted_ = false;
    BatchReporter reporter_;
    ActionRecorder* recorder_ = nullptr;
    std::function<void(const std::string&)> versionNotice_;
};

// Carries out a confirmed plan: first the old versions a server keeps go
// (RemoveOldVersions), then the copies to Target, the copies to Source,
// the deletions in Target, then those in Source (only a deletion chosen by
// hand has them outside two-way). A batch that was stopped ends the run.
// `batchDone`, when given, is called after each batch (the window refreshes
// its lists there, so the next batch asks over current ones).
void RunSyncPlan(RowOperations& operations, const SyncPlan& plan,
                 const std::function<void()>& batchDone = {});

}  // namespace ravelmoor
