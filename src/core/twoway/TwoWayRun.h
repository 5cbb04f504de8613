#pragma once

#include <string>

#include "core/sync/RowOperations.h"
#include "core/twoway/PairMemory.h"

namespace ravelmoor {

// Carries out a two-way plan over the paired lists with `operations`, and
// keeps the pair's memory in step with each action as it settles: first the
// renames (each followed by the memory), then the deletions on each side,
// then the copies each way; rows both sides agree on and paths gone from both
// only change the memory. `observer`, when given, is told of each copy and
// deletion as RowOperations tells it. The memory's changes belong to the run
// `run` (the journal's id), so that undo can put them back.
class TwoWayRun : private SyncObserver {
  public:
    // `sourceLocal`/`targetLocal`: the side is a folder on this machine,
    // whose objects' inodes the memory records.
    TwoWayRun(RowOperations& operations, SyncSides sides, PairMemory& memory, bool sourceLocal,
              bool targetLocal);

    void SetObserver(SyncObserver* observer) { observer_ = observer; }
    // Where each rename is written down (the journal, which the copies and
    // deletions reach through `operations`), so that undo can take it back.
    void SetRecorder(ActionRecorder* recorder) { recorder_ = recorder; }

    // False when something went wrong that the caller must say (Problem):
    // the memory could not be written, or a rename failed.
    bool Run(const SyncPlan& plan, const std::string& run, const std::string& sourceIdentity,
             const std::string& targetIdentity);

    // Renames carried out: the sides must be compared again for what moved
    // with them to be reconciled under the new names.
    size_t RenamesDone() const { return renamesDone_; }
    const std::string& Problem() const { return problem_; }

  private:
    void ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                       std::string_view reason) override;
    // Brings the memory in step with a change carried out, and commits it.
    void Remember(ListSide side, bool deletion, uint32_t row);
    // Both sides' facts of `row` as they are now, read again from the sides.
    MemoryRow RowNow(uint32_t row, const FileEntry* like);
    SideFacts FactsNow(ListSide side, const std::string& relative);
    bool DoRename(const RenameStep& step);

    RowOperations& operations_;
    SyncSides sides_;
    PairMemory& memory_;
    SyncObserver* observer_ = nullptr;
    ActionRecorder* recorder_ = nullptr;
    bool local_[2];
    size_t renamesDone_ = 0;
    std::string problem_;
};

}  // namespace ravelmoor
