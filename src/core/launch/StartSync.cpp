#include "core/launch/StartSync.h"

#include <chrono>
#include <iterator>
#include <utility>

#include "core/engine/Comparison.h"
#include "core/launch/OpenSides.h"
#include "core/settings/SettingsStore.h"
#include "core/sync/SyncSides.h"
#include "core/sync/SyncSummary.h"

namespace ravelmoor {

SyncExecution::SyncExecution(Comparison& comparison, SyncJob job, Prompter& prompter)
    : comparison_(comparison), job_(std::move(job)), prompter_(prompter) {
    uint64_t bytes = 0;
    for (const uint32_t row : job_.plan.copyToTarget)
        bytes += CopiedBytes(ListSide::Target, row);
    for (const uint32_t row : job_.plan.copyToSource)
        bytes += CopiedBytes(ListSide::Source, row);
    counters_.Plan(job_.plan.copyToTarget.size() + job_.plan.copyToSource.size() +
                       job_.plan.deleteInTarget.size(),
                   bytes);
}

SyncExecution::~SyncExecution() = default;

uint64_t SyncExecution::CopiedBytes(ListSide to, uint32_t row) const {
    const FileList& from =
        to == ListSide::Target ? comparison_.SourceResults() : comparison_.TargetResults();
    if (row >= from.GetSize()) return 0;
    const FileEntry& entry = from.ElementAt(row);
    return entry.IsFolder() ? 0 : entry.size;
}

StartOutcome SyncExecution::OpenJournal() {
    if (job_.withoutJournal) return {};
    const JournalOutcome opened =
        journal_.Open(JournalHeaderOf(comparison_, SyncMethodText(job_.method)));
    if (!opened.Ok()) return StartOutcome(StartStatus::WithoutJournal, opened.reason);
    return {};
}

void SyncExecution::ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                                  std::string_view reason) {
    counters_.Settle(!deletion && result == ItemResult::Done ? CopiedBytes(side, row) : 0);
    end_.items.push_back({side, deletion, row, result, std::string(reason)});
    if (observer_ != nullptr) observer_->ActionSettled(side, deletion, row, result, reason);
}

void SyncExecution::Run() {
    RowOperations operations(comparison_.Rules(), SidesOf(comparison_), prompter_);
    operations.SetProgress(progress_);
    operations.SetCancelWord(cancel_);
    operations.SetKeepReplaced(job_.keepReplaced);
    operations.SetVerify(job_.verify);
    operations.SetObserver(this);
    if (journal_.IsOpen()) operations.SetRecorder(&journal_);
    // The batches change Target, Source, then Target again (the deletions).
    constexpr ListSide kBatchSides[] = {ListSide::Target, ListSide::Source, ListSide::Target};
    size_t batch = 0;
    if (beforeBatch_) beforeBatch_(kBatchSides[batch]);
    counters_.Begin();
    const auto start = std::chrono::steady_clock::now();
    RunSyncPlan(operations, job_.plan, [&] {
        if (afterBatch_) afterBatch_();
        if (++batch < std::size(kBatchSides) && beforeBatch_) beforeBatch_(kBatchSides[batch]);
    });
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    end_.tally = operations.Tally();
    end_.stopped = operations.Aborted();
    end_.seconds = taken.count();
    end_.summary = SyncSummaryText(end_.tally, end_.stopped, end_.seconds);
    end_.journalBroke = journal_.Problem();
    end_.journalId = journal_.IsOpen() ? journal_.Id() : std::string();
    journal_.Finish(end_.summary, RunEnd(end_.stopped, end_.tally.notDone > 0));
    end_.journalProblem = journal_.Problem();
}

SyncStart StartSync(Comparison& comparison, SyncJob job, Prompter& prompter) {
    SyncStart start;
    start.run = std::make_unique<SyncExecution>(comparison, std::move(job), prompter);
    start.outcome = start.run->OpenJournal();
    return start;
}

LockOutcome LockSidesOf(CompareJob job, SyncLocks& locks) {
    SettingsStore store;
    const OpenedSides opened = OpenSides(job.sourceFolder, job.targetFolder,
                                         StoredConnectionLookup(store), UnknownHostKey::Refuse);
    if (!opened.outcome.Ok()) return {};
    JournalHeader sides;
    sides.source = {opened.sourceRoot, opened.Folder(Side::Source), !opened.sourceRemote};
    sides.target = {opened.targetRoot, opened.Folder(Side::Target), !opened.targetRemote};
    return locks.Take(sides);
}

}  // namespace ravelmoor
