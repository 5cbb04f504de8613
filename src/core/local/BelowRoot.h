#pragma once

#include <string>
#include <string_view>

#include "core/engine/FdGuard.h"
#include "core/engine/FileSystem.h"

namespace ravelmoor {

// Every local write, and every read of a synchronisation, reaches its place
// from the side's root with no symbolic link followed on the way: in one call
// (openat2 with RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS) where the kernel has
// it, otherwise one level at a time with openat and O_NOFOLLOW. So a link (or
// a file, or a "." or ".." level) somewhere on the way ends the walk instead
// of leading outside the root. Only the root itself may be reached through a
// link: the user chose it.

// Opens `relative` ('/' between plain levels) below the open folder `root`
// with `flags` (O_CLOEXEC is added), following no link in any level, the last
// one included: with O_PATH | O_NOFOLLOW a link there is opened itself,
// otherwise a link anywhere fails with ELOOP. -1, errno set, on failure.
int OpenBeneath(int root, std::string_view relative, int flags);
// Whether OpenBeneath may use openat2 (it is found out by the first call);
// false makes every call walk, as on a kernel without it.
void AllowOpenat2(bool allowed);

// Opens the folder `folder` below `root` ('/' between levels; empty for the
// root itself) as a handle for the *at calls. With `create`, missing levels
// are made and `made` (when given) tells whether any was. An invalid handle,
// with `outcome` saying why (Refused or Failed), when it cannot.
FdGuard OpenFolderBelow(const std::string& root, std::string_view folder, bool create,
                        WriteOutcome& outcome, bool* made = nullptr);

// Splits `relative` into its folder and its last name and opens that folder as
// OpenFolderBelow does. False, with `outcome` filled, when it cannot (the root
// itself is never a place to write).
bool OpenParentBelow(const std::string& root, std::string_view relative, bool create,
                     FdGuard& folder, std::string& name, WriteOutcome& outcome);

}  // namespace ravelmoor
