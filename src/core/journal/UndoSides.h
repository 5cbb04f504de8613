#pragma once

#include <string>

#include "core/engine/LocalFileSystem.h"
#include "core/engine/SideProvider.h"
#include "core/journal/Journal.h"

namespace ravelmoor {

class Prompter;

// The file systems of a journal's two sides, opened as a comparison opens
// them: a local folder as it is, an FTP or SFTP side through its stored
// connection.
class UndoSides {
  public:
    explicit UndoSides(Prompter& prompter) : provider_(prompter) {}

    // Unreachable, the reason saying why, when a side can not be reached as
    // it was: a folder that is gone, a connection that is no longer stored or
    // that now names another folder.
    JournalOutcome Open(const JournalHeader& header);
    FileSystem& Of(Side side);

  private:
    SideProvider provider_;
    LocalFileSystem local_;
};

}  // namespace ravelmoor
