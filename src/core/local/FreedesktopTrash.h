#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include <sys/types.h>

#include "core/engine/FdGuard.h"
#include "core/engine/FileSystem.h"

namespace ravelmoor {

// The freedesktop.org trash, written here rather than taken from a library so
// that names are bytes, odd names cannot break the info file, and finding a
// free name in the trash always ends.
//
// A file on the file system of the user's home goes to the home trash
// ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash). A file elsewhere
// goes to its mount's top folder: $topdir/.Trash/$uid when $topdir/.Trash is
// a real folder (not a link) with the sticky bit, otherwise
// $topdir/.Trash-$uid. Each trash holds files/ and info/; the object is
// renamed into files/ (never copied) after info/NAME.trashinfo has been
// written, which also reserves the name.

// Moves the object `name` in the open folder `folder` to its trash. NoTrash
// when no trash on its file system can be used; Cancelled when `cancel` was
// set before anything moved. On Done, `trashedTo` names where it went.
WriteOutcome MoveToFreedesktopTrash(int folder, const std::string& name,
                                    const std::atomic<int32_t>* cancel);
// The same for an object that lies under another name (a temporary one) in
// `folder` but is trashed as the object `as` of that folder.
WriteOutcome MoveToFreedesktopTrashAs(int folder, const std::string& name, const std::string& as,
                                      const std::atomic<int32_t>* cancel);

// A name taken in a trash for one object: its info file is written (and
// holds the name) but the object has not moved yet.
struct TrashReservation {
    FdGuard files;
    FdGuard info;
    FdGuard infoFile;       // the written info file, open for its flush
    std::string candidate;  // the name in files/; info/ holds it with ".trashinfo"
    std::string as;         // the object's name as its info file gives it
    std::string infoText;
    size_t maxLength = 0;
    unsigned attempt = 0;
    dev_t device = 0;  // the object the name was taken for
    ino_t inode = 0;
};

// The first half of MoveToFreedesktopTrash, for objects set aside as a group:
// writes the info file without flushing it, so that one flush takes the
// group's info files to the disk before any object moves. Outcomes as
// MoveToFreedesktopTrash's; on Done the object is where it was.
WriteOutcome ReserveTrashName(int folder, const std::string& name,
                              const std::atomic<int32_t>* cancel, TrashReservation& reservation);
// Moves the object into its reserved name. The info file must be on the disk
// already; where a stray object in files/ holds the name, the next name is
// taken with its info file flushed at once.
WriteOutcome CompleteTrashMove(int folder, const std::string& name, TrashReservation& reservation,
                               const std::atomic<int32_t>* cancel);
// Removes the info file of a reservation that was not used.
void DropTrashReservation(TrashReservation& reservation);

// The path the kernel has for the open folder `fd` (its real path, links
// resolved); empty when it is not known.
std::string PathOfHandle(int fd);

// The user's home trash ($XDG_DATA_HOME/Trash, by default
// ~/.local/share/Trash); empty when neither names a folder.
std::string HomeTrashFolder();

// --- The pieces, for tests.

// A path as the Path= key holds it: every byte but unreserved characters
// (letters, digits, "-_.~") and '/' as %XX.
std::string PercentEncodePath(std::string_view bytes);

// The whole .trashinfo text for `pathValue` (already encoded) deleted at
// `when` (local time, as the format wants).
std::string TrashInfoText(std::string_view encodedPath, std::time_t when);

// The name tried in files/ on attempt `attempt` (0 first) for an object
// named `name`, at most `maxLength` bytes: the name itself, then "stem.2.ext"
// up to "stem.99.ext", then "stem.HHHHHHHH.ext" with `salt` in hex (the
// caller passes a fresh random number each time). The stem is shortened
// (never inside a UTF-8 character) where the whole would be too long.
std::string TrashCandidateName(std::string_view name, unsigned attempt, size_t maxLength,
                               uint32_t salt);

// How many names are tried before giving up: bounded, and far more than
// the numbered names, so a trash full of one name still takes another.
inline constexpr unsigned kTrashNameAttempts = 160;
inline constexpr unsigned kNumberedTrashNames = 99;

// ".Trash" or ".Trash-" followed by digits: the names a trash takes in the
// top folder of a mount.
bool IsTopTrashName(std::string_view name);

}  // namespace ravelmoor
