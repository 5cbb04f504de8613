#pragma once

#include <string>
#include <string_view>

#include "core/engine/FileSystem.h"
#include "core/journal/TrashRestore.h"

namespace ravelmoor {

// Checks that `keptPath` (a full path) is the version a sync kept on a
// server of `relative` below `root`: it lies at
// `root`.ravelmoor-versions/RUN/`relative` (RUN being a run's folder name) and
// its kind, size and modification time, as the server gives them now, are
// those of `kept`. Done or NotInTrash; nothing is changed.
RestoreOutcome CheckKeptVersion(FileSystem& fs, const std::string& root, std::string_view relative,
                                const std::string& keptPath, const EntryFacts& kept);

// Renames the version at `keptPath` back to `relative` below `root` once
// CheckKeptVersion accepts it, making missing folders on the way and never
// replacing anything (Exists when something is there), then removes the
// folders of its run's folder that it leaves empty. A version that is
// refused stays where it is.
RestoreOutcome RestoreKeptVersion(FileSystem& fs, const std::string& root,
                                  std::string_view relative, const std::string& keptPath,
                                  const EntryFacts& kept);

}  // namespace ravelmoor
