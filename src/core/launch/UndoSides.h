#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/engine/SideProvider.h"
#include "core/journal/Journal.h"
#include "core/local/ConfinedFileSystem.h"
#include "core/local/LocalFileSystem.h"

namespace ravelmoor {

class Prompter;

// The file systems of a journal's two sides, opened as a comparison opens
// them: a local folder as it is (nothing below it reached through a link),
// an FTP or SFTP side through its stored connection.
class UndoSides {
  public:
    explicit UndoSides(Prompter& prompter)
        : provider_(prompter, std::make_shared<LocalFileSystem>()) {}

    // Unreachable, the reason saying why, when a side can not be reached as
    // it was: a folder that is gone, a connection that is no longer stored or
    // that now names another folder. A connection is found by whichever way
    // its name was written (with or without a slash of its own).
    JournalOutcome Open(const JournalHeader& header);
    FileSystem& Of(Side side);

  private:
    // Opens the sides as typed `source` and `target`.
    JournalOutcome OpenAs(const JournalHeader& header, std::string source, std::string target);

    SideProvider provider_;
    LocalFileSystem local_;
    // Each local side seen from its root, no link followed below it.
    std::unique_ptr<ConfinedFileSystem> confined_[2];
};

}  // namespace ravelmoor
