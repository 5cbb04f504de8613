#pragma once

#include <cstddef>
#include <string>

#include "core/sync/RowOperations.h"
#include "core/twoway/PairMemory.h"
#include "core/twoway/TwoWayPlan.h"

namespace ravelmoor {

class Comparison;

// What a two-way synchronisation is asked beyond the comparison.
struct TwoWayOptions {
    ConflictPreference prefer = ConflictPreference::None;
    bool keepBoth = false;   // a settled conflict's loser stays beside the winner
    bool firstSync = false;  // take the pair as new, whatever was remembered
};

// One two-way synchronisation of a compared pair, for every front end: the
// pair's memory (locked from Open until the session is destroyed), the plan of
// each pass over the comparison's rows, and each pass carried out with the
// memory kept in step. The comparison must outlive the session.
class TwoWaySession {
  public:
    TwoWaySession(Comparison& comparison, TwoWayOptions options);

    // Opens the pair's memory and takes its lock. A damaged memory is set
    // aside; the outcome then says so, naming the file.
    MemoryOutcome Open();

    // Plans over the comparison's current rows. The first plan is the one
    // shown; later passes (after renames) plan again with the same options.
    // A server side is asked for the identities of its objects (a move there
    // known by its inode) only while it is open: the comparison closes it,
    // so a caller off the window thread opens it again (Comparison::Reopen)
    // first; closed, such a move is known by name, size and time alone.
    TwoWayOutcome Plan(SyncPlan& plan);

    // Settles conflict `index` of `plan` (a person's answer): the kept
    // version is copied over the other, or with KeepBoth the other stays
    // beside it under a conflict name. Left takes a settlement back.
    void Settle(SyncPlan& plan, size_t index, Settlement how) const;

    // More than half of a side (at least ten objects) deleted there: the
    // question to ask, naming the side; empty when the plan deletes less.
    std::string MassDeletion(const SyncPlan& plan) const;

    // Carries out one pass of `plan` with `operations`; `observer` is told
    // of each copy and deletion. The memory's changes belong to run `runId`
    // (the journal's id), so that an undo puts them back. False when a
    // rename or the memory failed (Problem says why, cumulatively).
    bool RunPass(const SyncPlan& plan, RowOperations& operations, SyncObserver* observer,
                 ActionRecorder* recorder, const std::string& runId);
    // Renames the last pass carried out: the sides must be compared again
    // for what moved with them to be reconciled under the new names.
    size_t LastPassRenames() const { return lastPassRenames_; }
    size_t RenamesDone() const { return renamesDone_; }
    const std::string& Problem() const { return problem_; }

    PairMemory& Memory() { return memory_; }
    const std::string& Stamp() const { return stamp_; }

  private:
    TwoWayInput Input() const;

    Comparison& comparison_;
    TwoWayOptions options_;
    PairMemory memory_;
    std::string sourceIdentity_;
    std::string targetIdentity_;
    std::string stamp_;
    bool planned_ = false;
    size_t lastPassRenames_ = 0;
    size_t renamesDone_ = 0;
    std::string problem_;
};

}  // namespace ravelmoor
