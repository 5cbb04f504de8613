#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/journal/UndoPlan.h"

namespace ravelmoor {

class ActionRecorder;

// What became of one undo step.
enum class UndoResult : uint8_t {
    NotReached,
    Done,
    NothingToDo,  // the object is already as it was before the sync
    Changed,      // the object changed since the sync: left as it is
    Gone,         // the old version is no longer in the trash (or kept on the server)
    CannotUndo,   // gone for good, or nowhere kept
    Failed,
};

// Carries out the steps of PlanUndo on the two sides of a journal. Each step
// first checks that the object is still what the sync left (size and time);
// one that changed since is left alone, unless `force` is set: then the
// changed version goes to the trash first. Every change made is told to the
// recorder, so that undo is a sync with a journal of its own.
class UndoRun {
  public:
    // The file systems of the journal's Source and Target folders.
    UndoRun(const SyncJournal& journal, FileSystem& source, FileSystem& target);

    void SetForce(bool force) { force_ = force; }
    void SetRecorder(ActionRecorder* recorder) { recorder_ = recorder; }
    // Checked between steps; a set word stops the run.
    void SetCancelWord(const std::atomic<int32_t>* cancel) { cancel_ = cancel; }
    // Told what became of each step as soon as that is settled, with the
    // words that say it (empty for a step done as planned).
    void SetReport(std::function<void(size_t, UndoResult, const std::string&)> report) {
        report_ = std::move(report);
    }

    // Removes what unfinished copies left behind, carries `steps` out, then
    // sets the folders' times back to what they
    // were before the sync. Returns the result of each step.
    std::vector<UndoResult> Run(const std::vector<UndoStep>& steps);
    bool Stopped() const { return stopped_; }

    // The full path of a step's object.
    std::string FullPath(const UndoStep& step) const;

  private:
    UndoResult Carry(const UndoStep& step, std::string& words);
    // Moves the object at the step's place to the trash (for good where
    // there is none), recording it.
    bool TakeAway(const UndoStep& step, bool exists, const EntryFacts& now, std::string& words);
    // Brings the step's trash item back to its place, recording it.
    UndoResult BringBack(const UndoStep& step, std::string& words);
    FileSystem& Fs(bool target) { return target ? target_ : source_; }
    const std::string& Root(bool target) const;
    // Whether the side is a folder on this machine (else a server, whose
    // versions folder keeps what the sync took there).
    bool Local(bool target) const;
    void SetFolderTimes();
    UndoResult RenameBack(const UndoStep& step, bool oldNameTaken, std::string& words);
    // Removes the temporary files of copies a killed sync left in the
    // folders of its unfinished copies.
    void RemoveBrokenCopies(const std::vector<UndoStep>& steps);

    const SyncJournal& journal_;
    FileSystem& source_;
    FileSystem& target_;
    bool force_ = false;
    ActionRecorder* recorder_ = nullptr;
    const std::atomic<int32_t>* cancel_ = nullptr;
    std::function<void(size_t, UndoResult, const std::string&)> report_;
    std::vector<const UndoStep*> remade_;  // folders made again, for their mode and time
    bool stopped_ = false;
};

}  // namespace ravelmoor
