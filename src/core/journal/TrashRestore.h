#pragma once

#include <string>
#include <string_view>

#include "core/engine/FileSystem.h"
#include "core/engine/Outcome.h"

namespace ravelmoor {

// What became of bringing one object back from the trash.
enum class RestoreStatus : uint8_t {
    Done,
    // The trash holds no such object: the item is gone, lies in no trash of
    // this user, its info file names another original, or it is another
    // object than the one the sync put there (size, time, kind). The item,
    // if any, is left as it is.
    NotInTrash,
    Exists,  // something is at the object's place
    Failed,  // the way to the place, or the move, failed; the reason says why
};
using RestoreOutcome = Outcome<RestoreStatus>;

// Checks that `trashItem` is the object a sync put in the trash from
// `relative` below the local folder `root`: it lies in the files/ folder of
// one of this user's trashes (the home trash, or a mount's .Trash-UID or
// .Trash/UID), the Path= of its info file names that very place, and its
// kind, size and modification time (to the nanosecond) are those of `kept`.
// Done or NotInTrash; nothing is changed.
RestoreOutcome CheckTrashItem(const std::string& trashItem, const std::string& root,
                              std::string_view relative, const EntryFacts& kept);

// Moves `trashItem` back to `relative` below `root` once CheckTrashItem
// accepts it, making missing folders on the way (walked from the root as
// every local write walks) and never replacing anything, then removes its
// info file. An item that is refused stays where it is, with its info.
RestoreOutcome RestoreFromTrash(const std::string& trashItem, const std::string& root,
                                std::string_view relative, const EntryFacts& kept);

}  // namespace ravelmoor
