#include "core/launch/StartUndo.h"

#include <utility>

#include "core/sync/SyncMethod.h"
#include "core/twoway/PairMemory.h"

namespace ravelmoor {

UndoExecution::UndoExecution(UndoJob job, Prompter& prompter)
    : job_(std::move(job)), sides_(prompter) {
    counters_.Plan(job_.steps.size(), 0);
}

StartOutcome UndoExecution::Open() {
    const JournalHeader& sides = job_.journal.header;
    if (const JournalOutcome opened = sides_.Open(sides); !opened.Ok())
        return StartOutcome(StartStatus::SideUnreachable, opened.reason);
    if (const LockOutcome locked = locks_.Take(sides); !locked.Ok())
        return StartOutcome(StartStatus::RootInUse, locked.reason);
    run_ =
        std::make_unique<UndoRun>(job_.journal, sides_.Of(Side::Source), sides_.Of(Side::Target));
    if (job_.withoutJournal) return {};
    JournalHeader header = sides;
    header.method = "undo " + job_.journal.id;
    if (const JournalOutcome kept = record_.Open(header); !kept.Ok())
        return StartOutcome(StartStatus::WithoutJournal, kept.reason);
    return {};
}

void UndoExecution::Run() {
    run_->SetForce(job_.force);
    if (record_.IsOpen()) run_->SetRecorder(&record_);
    run_->SetCancelWord(cancel_);
    run_->SetReport([this](size_t index, UndoResult result, const std::string& words) {
        counters_.Settle(0);
        if (result == UndoResult::Done) ++end_.done;
        if (result == UndoResult::NothingToDo) ++end_.already;
        if (result != UndoResult::Done && result != UndoResult::NothingToDo) ++end_.left;
        if (result == UndoResult::Failed || result == UndoResult::Changed) end_.retry = true;
        end_.items.push_back({index, result, words});
        if (report_) report_(index, result, words);
    });
    counters_.Begin();
    run_->Run(job_.steps);
    end_.seconds = counters_.Snapshot().seconds;
    end_.stopped = run_->Stopped();
    const JournalHeader& header = job_.journal.header;
    if (!end_.stopped && header.method == SyncMethodText(SyncMethod::TwoWay)) {
        PairMemory memory;
        MemoryOutcome rolled =
            memory.Open(PairMemory::FileFor(header.source.shown, header.target.shown));
        // An undo run again finds the memory put back already.
        if (rolled.Ok() && memory.HoldsRun(job_.journal.id))
            rolled = memory.RollBack(job_.journal.id);
        if (!rolled.Ok()) end_.memoryProblem = rolled.reason;
    }
}

void UndoExecution::Finish(std::string_view summary) {
    record_.Finish(summary, RunEnd(end_.stopped, end_.retry));
    end_.journalProblem = record_.Problem();
}

std::string UndoExecution::FullPath(const UndoStep& step) const {
    return run_->FullPath(step);
}

UndoStart StartUndo(UndoJob job, Prompter& prompter) {
    UndoStart start;
    start.run = std::make_unique<UndoExecution>(std::move(job), prompter);
    start.outcome = start.run->Open();
    if (!start.outcome.Ok() && start.outcome.status != StartStatus::WithoutJournal)
        start.run.reset();
    return start;
}

}  // namespace ravelmoor
