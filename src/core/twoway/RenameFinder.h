#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/twoway/PlanWork.h"

namespace ravelmoor {

// Finds what was renamed or moved on either side since the last sync among
// the paths that vanished from a side and those new on it: by inode (and
// birth time) on a local side, by size, time and name where a side has no
// inodes, and whole folders by the files that turned up below one new
// folder. Each rename becomes one step of the plan, carried out on the other
// side; the rows it covers are marked as its own.
class RenameFinder {
  public:
    explicit RenameFinder(PlanWork& work) : work_(work) {}

    // A name whose case alone changed on one side pairs with the other
    // side's old spelling in one row: the other side takes the new spelling.
    void CaseRename(uint32_t row, const MemoryRow& base);
    // The renames among the paths both sides lost and gained.
    void Find();

  private:
    struct Candidate {
        bool onSource;
        size_t gone;     // index into that side's vanished paths
        uint32_t toRow;  // the row where it is now
    };
    // A side without inodes: a folder whose every remembered file turned up,
    // by name, size and time, below one new folder under the same relative
    // paths was renamed whole. Its candidate goes first, so that the files'
    // own are seen to be covered by it at once.
    void FolderRenames(bool onSource, std::vector<Candidate>& found);
    // What the pass after the rename of `from` to `to` will do below it,
    // told ahead for the plan's listing (that pass decides anew).
    void EditsBelow(const Candidate& c, const Gone& g, const std::string& from,
                    const std::string& to);

    PlanWork& work_;
};

}  // namespace ravelmoor
