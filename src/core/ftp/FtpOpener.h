#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/engine/SideProvider.h"
#include "core/ftp/FtpConnection.h"

namespace ravelmoor {

class FileSystem;
class Prompter;

// Connects to the server of `connection` and logs on: the FTP side of a
// comparison, which tells its later warnings through `prompter`. Failed when
// it cannot, the reason saying why ("Cannot initialise FTP connection"; the
// failure's text followed by " Server:" and the server and " User:" and the
// user; "Error"); Stopped when `cancel` was set while it waited.
OpenResult<FileSystem> OpenFtpSide(const FtpConnection& connection, Prompter& prompter,
                                   const std::atomic<int32_t>* cancel);
// The same, naming `shownUser` in the reason instead of the user it logged
// on with.
OpenResult<FileSystem> OpenFtpSide(const FtpConnection& connection, std::string_view shownUser,
                                   Prompter& prompter, const std::atomic<int32_t>* cancel);

// The remote side of a comparison on the FTP connection `connection` (its
// directory is the side's folder), opened with OpenFtpSide.
std::unique_ptr<RemoteSide> MakeFtpSide(const FtpConnection& connection);

}  // namespace ravelmoor
