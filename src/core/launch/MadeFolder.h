#pragma once

#include <string>
#include <vector>

#include "core/launch/CompareLaunch.h"

namespace ravelmoor {

// A folder made because it was missing (the Target of a first backup) and
// the folders above it made with it. Unless kept, they are removed again
// when the object goes, each only while empty, so that a sync refused or
// declined before it writes anything leaves no folder behind.
class MadeFolder {
  public:
    MadeFolder() = default;
    ~MadeFolder();
    MadeFolder(const MadeFolder&) = delete;
    MadeFolder& operator=(const MadeFolder&) = delete;

    // Makes `path` and the missing folders above it (MakeMissingFolder).
    LaunchOutcome Make(const std::string& path);
    // The folders stay.
    void Keep() { made_.clear(); }
    bool Made() const { return !made_.empty(); }

  private:
    std::vector<std::string> made_;  // the deepest first
};

}  // namespace ravelmoor
