#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/engine/ProgressText.h"
#include "core/journal/JournalWriter.h"
#include "core/journal/RootLock.h"
#include "core/launch/RunProgress.h"
#include "core/settings/CompareJob.h"
#include "core/sync/ManualAction.h"
#include "core/sync/PlanSync.h"
#include "core/sync/RowOperations.h"
#include "core/sync/SyncMethod.h"

namespace ravelmoor {

class Comparison;
class Prompter;
class TwoWaySession;

// What one synchronisation is to do, whichever front end asked for it: the
// confirmed plan over the comparison's rows and how to carry it out.
struct SyncJob {
    SyncMethod method = SyncMethod::None;
    SyncPlan plan;
    bool keepReplaced = true;  // old versions of replaced files go to the trash
    bool verify = true;        // each copy is read back before it goes in place
    // The person's word: no journal is kept (the sync can then not be undone).
    bool withoutJournal = false;
    // What a server side keeps of what is replaced or deleted there, and for how long.
    VersionKeeping keeping{};
    // Two-way: the session that planned `plan` and holds the pair's memory,
    // kept in step with each action. After renames the run compares again
    // (`compareAgain`, false when that failed) and carries out what the
    // session plans next, in the same journal.
    std::shared_ptr<TwoWaySession> twoWay = nullptr;
    std::function<bool()> compareAgain = nullptr;
    // A copy or deletion chosen by hand (ManualPlan made `plan`): the
    // journal names it by ManualActionText instead of the method.
    std::optional<ManualKind> manual = std::nullopt;
};

// What became of one planned copy or deletion (as SyncObserver tells it).
struct SyncItemOutcome {
    ListSide side = ListSide::Target;
    bool deletion = false;
    uint32_t row = 0;
    ItemResult result = ItemResult::NotReached;
    std::string reason;
};

// What a synchronisation came to.
struct SyncEnd {
    SyncTally tally;
    bool stopped = false;  // a Cancel answer or the cancel word ended it
    double seconds = 0;
    std::string summary;    // SyncSummaryText, also the journal's last words
    std::string journalId;  // empty when none was kept
    // Why the journal broke during the run (it then stopped before its next
    // change); empty when it held.
    std::string journalBroke;
    // Why the journal is not whole after it was finished; empty when it is.
    std::string journalProblem;
    // Every object settled, in the order they were (an object may be told twice:
    // the last word holds).
    std::vector<SyncItemOutcome> items;
    // Two-way: conflicts the last pass left as they are, renames carried out,
    // and why a rename, the memory or a new comparison failed (empty when none).
    size_t conflictsLeft = 0;
    size_t renamesDone = 0;
    std::string twoWayProblem;
};

// One synchronisation of a comparison's rows, made by StartSync. The front end
// runs it on the thread it chooses (the window on a BackgroundTask's worker,
// the command line on its own thread, where Ctrl-C breaks a question), and may
// poll Snapshot from any other thread meanwhile.
class SyncExecution : private SyncObserver, private ProgressText {
  public:
    SyncExecution(Comparison& comparison, SyncJob job, Prompter& prompter);
    ~SyncExecution() override;
    SyncExecution(const SyncExecution&) = delete;
    SyncExecution& operator=(const SyncExecution&) = delete;

    // Told of each object as soon as it is settled (none by default).
    void SetObserver(SyncObserver* observer) { observer_ = observer; }
    // Shows what is being copied, deleted or compared again (and is told of
    // each piece of a copy's data, which Snapshot counts too).
    void SetProgress(ProgressText* progress) { progress_ = progress; }
    // The word that stops the run between objects; its own (set by Cancel)
    // by default.
    void SetCancelWord(const std::atomic<int32_t>* cancel) { cancel_ = cancel; }
    void Cancel() { ownCancel_.store(1); }
    // Told, in words, of each old run's versions removed from a server (and
    // of each that could not be); none by default.
    void SetVersionNotice(std::function<void(const std::string&)> notice) {
        versionNotice_ = std::move(notice);
    }
    // `before` is called before each batch with the side it changes, `after`
    // after it (the window refreshes its lists there, so that the next batch
    // asks over current ones).
    void SetBatchHooks(std::function<void(ListSide)> before, std::function<void()> after) {
        beforeBatch_ = std::move(before);
        afterBatch_ = std::move(after);
    }

    // Carries the plan out (copies to Target, copies to Source, deletions in
    // Target, then in Source), then writes the journal's last line.
    void Run();
    RunSnapshot Snapshot() const { return counters_.Snapshot(); }
    const SyncEnd& End() const { return end_; }

    // StartSync's work: opens the journal unless the job says none.
    StartOutcome OpenJournal();

  private:
    void ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                       std::string_view reason) override;
    void Show(std::string_view text) override;
    void Moved(uint64_t bytes) override;
    uint64_t CopiedBytes(ListSide to, uint32_t row) const;
    std::unique_ptr<RowOperations> Operations();
    // The two-way passes, each carried out with the memory in step.
    void RunTwoWay(SyncTally& tally, bool& stopped);

    Comparison& comparison_;
    SyncJob job_;
    Prompter& prompter_;
    SyncObserver* observer_ = nullptr;
    ProgressText* progress_ = nullptr;
    std::atomic<int32_t> ownCancel_{0};
    const std::atomic<int32_t>* cancel_ = &ownCancel_;
    std::function<void(ListSide)> beforeBatch_;
    std::function<void()> afterBatch_;
    std::function<void(const std::string&)> versionNotice_;
    JournalWriter journal_;
    RunCounters counters_;
    SyncEnd end_;
};

// What StartSync came to: a run ready to go, or why there is none. With
// WithoutJournal the run is there, to go on only on the person's word.
struct SyncStart {
    StartOutcome outcome;
    std::unique_ptr<SyncExecution> run;
};

// The one start of a synchronisation for every front end: the job over the
// rows of `comparison` (which must outlive the run), questions asked through
// `prompter`. Opens the sync's journal unless the job says none.
SyncStart StartSync(Comparison& comparison, SyncJob job, Prompter& prompter);

// Takes the locks of the roots `job` names, before it is compared, so that
// what a sync compares is not what another run is changing. Taken (holding
// nothing) when the launch will refuse the sides: it says why then.
LockOutcome LockSidesOf(CompareJob job, SyncLocks& locks);

}  // namespace ravelmoor
