#pragma once

#include <string>
#include <string_view>

#include "core/engine/FileSystem.h"

namespace ravelmoor {

// Moves `trashItem` (an object in the files/ folder of a freedesktop.org
// trash) back to `relative` below the local folder `root`, making missing
// folders on the way and never replacing anything, then removes its info
// file. The way below the root is walked as every local write walks it.
WriteOutcome RestoreFromTrash(const std::string& trashItem, const std::string& root,
                              std::string_view relative);

}  // namespace ravelmoor
