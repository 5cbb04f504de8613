#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/sync/SideFacts.h"

namespace ravelmoor {

// Why a row of a two-way plan is a conflict.
enum class ConflictKind : uint8_t {
    BothChanged,   // changed on both sides since the last sync, now different
    BothNew,       // new on both sides (or no last sync), now different
    RenamedApart,  // renamed to different names on the two sides
};

// How a conflict is settled: left as it is, or one side's version kept (the
// other's goes to the trash, or stays beside it under a conflict name).
enum class Settlement : uint8_t { Left, KeepSource, KeepTarget, KeepBoth };

struct TwoWayConflict {
    uint32_t row = 0;
    ConflictKind kind = ConflictKind::BothChanged;
    Settlement settled = Settlement::Left;
    // With KeepBoth: the side whose version stays beside the other.
    bool loserIsSource = false;
    bool hasBase = false;  // the pair has a last sync of this path
    SideFacts baseSource;  // the facts of that last sync
    SideFacts baseTarget;
    SideFacts source;  // the facts now
    SideFacts target;
    // RenamedApart: `row` is where Source has it now; Target has it in row
    // `targetRow`, named `targetPath`; both came from `renamedFrom`.
    uint32_t targetRow = 0;
    std::string sourcePath;
    std::string targetPath;
    std::string renamedFrom;
    bool folder = false;
};

// A rename carried out on one side (the other side renamed it, or a
// conflict's loser is kept beside the winner). Paths are below the side's
// root; a folder is renamed with everything in it.
struct RenameStep {
    bool onSource = false;
    std::string from;
    std::string to;
    bool folder = false;
    // Both sides renamed it alike already: only the memory follows.
    bool memoryOnly = false;
    // A conflict's loser set aside under a conflict name: the memory keeps
    // nothing of it.
    bool conflictCopy = false;
};

// What the pass after a rename will do below the new name, told ahead so
// that a dry run lists it; that pass plans anew once the names agree.
struct EditBelowRename {
    enum Kind : uint8_t { CopyToTarget, CopyToSource, DeleteInTarget, DeleteInSource, Conflict };
    Kind kind = CopyToTarget;
    std::string path;  // below the root, under the new name; a folder's ends with '/'
};

// What a two-way plan adds to the copies and deletions of a sync plan.
struct TwoWayPart {
    bool active = false;
    std::vector<uint32_t> deleteInSource;
    std::vector<RenameStep> renames;
    std::vector<EditBelowRename> belowRenames;
    // Rows both sides agree on now, whose memory is brought up to date; nothing moves.
    std::vector<uint32_t> adopt;
    // Paths the memory forgets: gone from both sides.
    std::vector<std::string> forget;
    std::vector<TwoWayConflict> conflicts;
    // Folders deleted on one side whose other side gained or changed
    // content: kept on both, with that content (row numbers).
    std::vector<uint32_t> keptFolders;
    bool firstSync = false;  // the pair has no last sync: nothing is deleted
    int64_t lastSync = 0;    // when that was (seconds since 1970)

    size_t ConflictsLeft() const {
        size_t left = 0;
        for (const TwoWayConflict& conflict : conflicts)
            left += conflict.settled == Settlement::Left ? 1 : 0;
        return left;
    }
};

}  // namespace ravelmoor
