#pragma once

#include <string>
#include <string_view>

#include "core/local/LocalFileSystem.h"
#include "core/sftp/AgentEncoder.h"

namespace ravelmoor {

class AgentFields;

// The server end of the agent stream (AgentProtocol.h): greets, then answers
// each request read from `in` on `out`, in the order they came: listings of
// folders below `folder` through the engine's own local listing (links
// never followed, names as bytes) and CRC-32 checksums through the engine's
// own checksum code, so that the client gets what a local comparison would
// have seen; and an object's device and inode, which tell a move on the
// server from a new object. A folder that cannot be listed and a file that cannot be read
// are answers with the reason, not failures of the stream.
class AgentServer {
  public:
    AgentServer(std::string folder, int in, int out);

    // Serves until the input ends: 0 then, 1 when the output could not be
    // written or a request was malformed (it has been refused in words).
    int Serve();

  private:
    bool Answer(AgentFrame type, std::string_view payload);
    bool List(AgentFields& fields);
    void Sum(AgentFields& fields);
    void Identify(AgentFields& fields);
    // Writes what the encoder holds once it is `atLeast` bytes.
    bool Send(size_t atLeast = 0);

    std::string root_;
    int in_;
    int out_;
    AgentEncoder encoder_;
    LocalFileSystem fs_;
};

}  // namespace ravelmoor
