#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/journal/Journal.h"
#include "core/journal/JournalWriter.h"
#include "core/journal/RootLock.h"
#include "core/journal/UndoPlan.h"
#include "core/journal/UndoRun.h"
#include "core/launch/RunProgress.h"
#include "core/launch/UndoSides.h"

namespace ravelmoor {

class Prompter;

// What one undo is to do, whichever front end asked for it.
struct UndoJob {
    SyncJournal journal;          // of the synchronisation to undo
    std::vector<UndoStep> steps;  // PlanUndo(journal), as confirmed
    bool force = false;           // also undo objects changed since the sync
    // The person's word: no journal is kept (the undo can then not be undone
    // or finished later).
    bool withoutJournal = false;
};

// What became of one step (as UndoRun tells it).
struct UndoItemOutcome {
    size_t step = 0;
    UndoResult result = UndoResult::NotReached;
    std::string words;  // what to say about it; empty for a step done as planned
};

// What an undo came to.
struct UndoEnd {
    size_t done = 0;
    size_t already = 0;  // already as before the sync
    size_t left = 0;     // neither: named in the items' words
    bool retry = false;  // something left that a later run may still do
    bool stopped = false;
    double seconds = 0;          // the time the steps took
    std::string journalProblem;  // why the undo's journal is not whole; empty when it is
    // Undoing a two-way sync also puts the pair's memory back, so that the
    // next two-way run sees the same changes again; why it could not, or empty.
    std::string memoryProblem;
    std::vector<UndoItemOutcome> items;
};

// One undo, made by StartUndo with its sides open, its roots locked and its
// journal open. The front end runs it on the thread it chooses and may poll
// Snapshot from any other thread meanwhile.
class UndoExecution {
  public:
    UndoExecution(UndoJob job, Prompter& prompter);
    UndoExecution(const UndoExecution&) = delete;
    UndoExecution& operator=(const UndoExecution&) = delete;

    // Told of each step as soon as it is settled, besides the end's list.
    void SetReport(std::function<void(size_t, UndoResult, const std::string&)> report) {
        report_ = std::move(report);
    }
    // The word that stops the run between steps; its own (set by Cancel) by
    // default.
    void SetCancelWord(const std::atomic<int32_t>* cancel) { cancel_ = cancel; }
    void Cancel() { ownCancel_.store(1); }

    // Carries the steps out.
    void Run();
    // Writes the undo's journal's last line, `summary`.
    void Finish(std::string_view summary);
    RunSnapshot Snapshot() const { return counters_.Snapshot(); }
    const UndoEnd& End() const { return end_; }
    const UndoJob& Job() const { return job_; }
    // The full path of a step's object.
    std::string FullPath(const UndoStep& step) const;

    // StartUndo's work: opens the sides, takes the roots' locks, then opens
    // the undo's journal unless the job says none.
    StartOutcome Open();

  private:
    UndoJob job_;
    UndoSides sides_;
    SyncLocks locks_;
    JournalWriter record_;
    std::unique_ptr<UndoRun> run_;
    std::function<void(size_t, UndoResult, const std::string&)> report_;
    std::atomic<int32_t> ownCancel_{0};
    const std::atomic<int32_t>* cancel_ = &ownCancel_;
    RunCounters counters_;
    UndoEnd end_;
};

// What StartUndo came to: a run ready to go, or why there is none. With
// WithoutJournal the run is there, to go on only on the person's word.
struct UndoStart {
    StartOutcome outcome;
    std::unique_ptr<UndoExecution> run;
};

// The one start of an undo for every front end: opens the journal's sides as
// a comparison opens them (a server's host key must be known already), keeps
// other runs off both roots and opens the undo's own journal (an undo is a
// sync like any other, and can be undone), unless the job says none.
UndoStart StartUndo(UndoJob job, Prompter& prompter);

}  // namespace ravelmoor
