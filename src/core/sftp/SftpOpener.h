#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/engine/SideProvider.h"
#include "core/sftp/SftpConnection.h"
#include "core/sftp/SftpSession.h"

namespace ravelmoor {

class Prompter;
class SftpFileSystem;

// Connects to the server of `connection`, checks its host key (`unknown`
// says what an unknown one gets), logs on and makes sure the connection's
// folder is there: the SFTP side of a comparison, which tells its later
// warnings through `prompter` (which also asks about an unknown key). Failed
// when it cannot, the reason saying what failed, on which host, and the
// system's or the server's reason; Stopped when `cancel` was set, the user
// declined the host key, or the side has already said what broke.
OpenResult<SftpFileSystem> OpenSftpSide(const SftpConnection& connection, Prompter& prompter,
                                        const std::atomic<int32_t>* cancel, UnknownHostKey unknown);

// The remote side of a comparison on the SFTP connection `connection`, opened
// with OpenSftpSide. Its folder is the connection's directory as given (with
// '/' at the end; "./" when empty), so that a result names what the user
// typed; the side takes a relative one below the folder the logon starts in.
std::unique_ptr<RemoteSide> MakeSftpSide(const SftpConnection& connection, UnknownHostKey unknown);

}  // namespace ravelmoor
