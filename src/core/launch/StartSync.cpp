#include "core/launch/StartSync.h"

#include <chrono>
#include <iterator>
#include <utility>

#include "core/engine/Comparison.h"
#include "core/launch/OpenSides.h"
#include "core/settings/SettingsStore.h"
#include "core/sync/SyncSides.h"
#include "core/sync/SyncSummary.h"
#include "core/twoway/TwoWaySession.h"

namespace ravelmoor {

SyncExecution::SyncExecution(Comparison& comparison, SyncJob job, Prompter& prompter)
    : comparison_(comparison), job_(std::move(job)), prompter_(prompter) {
    uint64_t bytes = 0;
    for (const uint32_t row : job_.plan.copyToTarget)
        bytes += CopiedBytes(ListSide::Target, row);
    for (const uint32_t row : job_.plan.copyToSource)
        bytes += CopiedBytes(ListSide::Source, row);
    counters_.Plan(job_.plan.Total(), bytes);
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
    const std::string_view word =
        job_.manual ? ManualActionText(*job_.manual) : SyncMethodText(job_.method);
    const JournalOutcome opened = journal_.Open(JournalHeaderOf(comparison_, word));
    if (!opened.Ok()) return StartOutcome(StartStatus::WithoutJournal, opened.reason);
    return {};
}

void SyncExecution::ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                                  std::string_view reason) {
    const uint64_t copied = deletion ? 0 : CopiedBytes(side, row);
    counters_.Settle(result == ItemResult::Done ? copied : 0, copied);
    end_.items.push_back({side, deletion, row, result, std::string(reason)});
    if (observer_ != nullptr) observer_->ActionSettled(side, deletion, row, result, reason);
}

void SyncExecution::Show(std::string_view text) {
    if (progress_ != nullptr) progress_->Show(text);
}

void SyncExecution::Moved(uint64_t bytes) {
    counters_.Moved(bytes);
    if (progress_ != nullptr) progress_->Moved(bytes);
}

std::unique_ptr<RowOperations> SyncExecution::Operations() {
    // A side on a server gets a connection again: the comparison (or, for a
    // two-way pass, the comparison after the renames) closed its own. One
    // that cannot be reached fails each item with the reason.
    comparison_.Reopen(cancel_);
    auto operations = std::make_unique<RowOperations>(
        comparison_.Rules(), SidesOf(comparison_, job_.keeping), prompter_);
    operations->SetProgress(this);
    operations->SetCancelWord(cancel_);
    operations->SetKeepReplaced(job_.keepReplaced);
    operations->SetVerify(job_.verify);
    operations->SetObserver(this);
    operations->SetVersionNotice(versionNotice_);
    if (journal_.IsOpen()) operations->SetRecorder(&journal_);
    return operations;
}

void SyncExecution::RunTwoWay(SyncTally& tally, bool& stopped) {
    TwoWaySession& session = *job_.twoWay;
    const std::string runId = journal_.IsOpen() ? journal_.Id() : "no-journal-" + session.Stamp();
    SyncPlan plan = job_.plan;
    // A rename moves what is below it: the next pass pairs that under the
    // new names. Three passes settle renames of renames.
    for (int pass = 0; pass < 3; ++pass) {
        if (pass > 0) {
            if (!job_.compareAgain || !job_.compareAgain()) {
                end_.twoWayProblem += "The folders could not be compared again after the renames.";
                break;
            }
            comparison_.Reopen(cancel_);
            if (const TwoWayOutcome planned = session.Plan(plan); !planned.Ok()) {
                end_.twoWayProblem += planned.reason;
                break;
            }
            const RunSnapshot sofar = counters_.Snapshot();
            counters_.Plan(sofar.itemsSettled + plan.Total(), sofar.bytesPlanned);
        }
        end_.conflictsLeft = plan.twoWay.ConflictsLeft();
        if (beforeBatch_) beforeBatch_(ListSide::Target);
        const std::unique_ptr<RowOperations> operations = Operations();
        const bool done = session.RunPass(plan, *operations, this,
                                          journal_.IsOpen() ? &journal_ : nullptr, runId);
        if (afterBatch_) afterBatch_();
        const SyncTally& passTally = operations->Tally();
        tally.filesCopied += passTally.filesCopied;
        tally.bytesCopied += passTally.bytesCopied;
        tally.foldersMade += passTally.foldersMade;
        tally.movedToTrash += passTally.movedToTrash;
        tally.replacedToTrash += passTally.replacedToTrash;
        tally.deletedForGood += passTally.deletedForGood;
        tally.foldersRemoved += passTally.foldersRemoved;
        tally.notDone += passTally.notDone;
        tally.changed += passTally.changed;
        stopped = operations->Aborted();
        if (stopped || !done || session.LastPassRenames() == 0) break;
    }
    end_.renamesDone = session.RenamesDone();
    end_.twoWayProblem = session.Problem() + end_.twoWayProblem;
}

void SyncExecution::Run() {
    counters_.Begin();
    const auto start = std::chrono::steady_clock::now();
    SyncTally tally;
    bool stopped = false;
    if (job_.twoWay) {
        RunTwoWay(tally, stopped);
    } else {
        const std::unique_ptr<RowOperations> operations = Operations();
        // The batches change Target, Source, then Target and Source again
        // (the deletions).
        constexpr ListSide kBatchSides[] = {ListSide::Target, ListSide::Source, ListSide::Target,
                                            ListSide::Source};
        size_t batch = 0;
        if (beforeBatch_) beforeBatch_(kBatchSides[batch]);
        RunSyncPlan(*operations, job_.plan, [&] {
            if (afterBatch_) afterBatch_();
            if (++batch < std::size(kBatchSides) && beforeBatch_) beforeBatch_(kBatchSides[batch]);
        });
        tally = operations->Tally();
        stopped = operations->Aborted();
    }
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    end_.tally = tally;
    end_.stopped = stopped;
    end_.seconds = taken.count();
    end_.summary = SyncSummaryText(end_.tally, end_.stopped, end_.seconds);
    if (end_.renamesDone > 0) end_.summary += " Renamed: " + std::to_string(end_.renamesDone) + ".";
    end_.journalBroke = journal_.Problem();
    end_.journalId = journal_.IsOpen() ? journal_.Id() : std::string();
    journal_.Finish(end_.summary,
                    RunEnd(end_.stopped, end_.tally.notDone > 0 || end_.conflictsLeft > 0 ||
                                             !end_.twoWayProblem.empty()));
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
