#pragma once

#include <string>

#include "core/ftp/FtpConnection.h"

namespace ravelmoor {

class FolderComparer;

// Runs one comparison on the engine's worker thread while the main thread
// shows a live progress line on a terminal (entries per side, phase, bytes
// checked) and passes Ctrl-C on as the cancel word. Returns true when the run
// completed; false when it was cancelled or failed (the reason has been said
// on stderr).
bool RunComparisonWithProgress(FolderComparer& comparer, const std::string& sourceRoot,
                               const std::string& targetRoot, bool includeSubFolders,
                               const FtpConnection& sourceFtp = {},
                               const FtpConnection& targetFtp = {});

}  // namespace ravelmoor
