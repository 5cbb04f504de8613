#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/journal/Journal.h"
#include "core/sync/FileOperation.h"

namespace ravelmoor {

// What undo does to one object to take back one change of a sync.
enum class UndoStepKind : uint8_t {
    RemoveCreated,     // a file the sync made goes to the trash (for good on a server)
    PutBackReplaced,   // the new version goes to the trash, the old one comes back from it
    PutBackDeleted,    // a deleted object comes back from the trash
    RemoveMadeFolder,  // a folder the sync made is removed when empty
    RemakeFolder,      // a folder the sync removed is made again, with its mode and time
    RenameBack,        // an object renamed by the sync gets its old name again
    CannotUndo,        // what was there is gone for good: only said, never guessed
};

struct UndoStep {
    UndoStepKind kind = UndoStepKind::CannotUndo;
    bool target = true;
    std::string path;  // below the side's folder
    // Where the object to bring back is (trash, or a server's versions);
    // for a rename, the object's new full path.
    std::string trashItem;
    EntryFacts kept;         // what that object must be: the one the sync put there
    bool ended = false;      // the change was seen to end (else it may not have happened)
    SeenState left;          // what the sync left there, when it ended
    SeenState before;        // what was there before the sync
    EntryFacts beforeFacts;  // with mode and nanoseconds, for a folder made again
};

// The steps that take back the changes of `journal`, last change first. A
// change that was seen not to happen has none.
std::vector<UndoStep> PlanUndo(const SyncJournal& journal);

// The step's words in a list of steps: "remove", "put back", "bring back",
// "remove folder", "make folder", "can not undo".
// English, marked for translation in the "UndoPlan" context.
std::string_view UndoStepWord(UndoStepKind kind);

// How many steps of `kind` there are.
size_t CountSteps(const std::vector<UndoStep>& steps, UndoStepKind kind);

}  // namespace ravelmoor
