#pragma once

#include <string_view>

namespace ravelmoor {

// Says which entries a filter rejects; the run asks it once per entry with the
// case-folded path below the root (folder markers included).
class EntryFilter {
  public:
    virtual ~EntryFilter() = default;
    // Compiles what needs compiling; called by the run before the walk.
    virtual void Compile() {}
    virtual bool IsExcluded(std::string_view foldedRelativePath) const = 0;
};

}  // namespace ravelmoor
