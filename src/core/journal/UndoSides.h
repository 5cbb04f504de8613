#pragma once

#include <string>

#include "core/engine/LocalFileSystem.h"
#include "core/engine/SideProvider.h"
#include "core/journal/Journal.h"

namespace ravelmoor {

class Prompter;

// The file systems of a journal's two sides, opened as a comparison opens
// them: a local folder as it is, an FTP side through its stored connection.
class UndoSides {
  public:
    explicit UndoSides(Prompter& prompter) : provider_(prompter) {}

    // False, with `error` saying why, when a side can not be reached as it
    // was: a folder that is gone, a connection that is no longer stored or
    // that now names another folder.
    bool Open(const JournalHeader& header, std::string& error);
    FileSystem& Of(Side side);

  private:
    SideProvider provider_;
    LocalFileSystem local_;
};

}  // namespace ravelmoor
