#pragma once

#include <string>

#include "core/engine/Outcome.h"
#include "core/sync/PlanSync.h"
#include "core/twoway/SettleConflict.h"

namespace ravelmoor {

class FileList;
class FileSystem;
class PairMemory;

enum class TwoWayStatus {
    Done,
    Refused,  // a guard: an emptied root, a changed root, nearly everything changed
    Damaged,  // the memory could not be read to its end
};
using TwoWayOutcome = Outcome<TwoWayStatus>;

// Which version settles a conflict without a question.
enum class ConflictPreference : uint8_t { None, Source, Target, Newer, Older, Larger, Smaller };

// What the two-way plan is made from besides the paired lists.
struct TwoWayInput {
    std::string sourceRoot;  // ends with '/'; as the user gave it, for messages
    std::string targetRoot;
    // Where each side's entries lie (Comparison::SourceFolder): a server's
    // root text names its connection, not a path the side can look up.
    std::string sourceFolder;
    std::string targetFolder;
    bool sourceLocal = true;  // a local side's inodes come from statx
    bool targetLocal = true;
    // The sides, asked for the identity of a server's object; none: not asked.
    FileSystem* sourceFs = nullptr;
    FileSystem* targetFs = nullptr;
    std::string sourceIdentity;  // the roots' identities now (RootIdentity)
    std::string targetIdentity;
    bool firstSync = false;  // treat the pair as new, whatever the memory holds
    ConflictPreference prefer = ConflictPreference::None;
    bool keepBoth = false;  // a settled conflict's loser stays beside the winner
    // The comparison's time rules: a side whose time moved within them has
    // not changed since the last sync.
    int32_t toleranceSeconds = 0;
    bool ignoreOneHour = false;
    // The name a loser kept beside the winner gets (a time stamp in it).
    std::string conflictStamp;
};

// Plans a two-way synchronisation of the paired result lists against the
// pair's memory, read alongside them in their order: each side's objects are
// new, changed, deleted or renamed since the last sync, and the decision
// table says what moves. Refused (with a message naming the reason) when a
// root is empty or another one than the memory knows, or when nearly every
// file of a side changed its time; Damaged when the memory can not be read.
TwoWayOutcome PlanTwoWay(const FileList& source, const FileList& target, PairMemory& memory,
                         const TwoWayInput& input, SyncPlan& plan);

}  // namespace ravelmoor
