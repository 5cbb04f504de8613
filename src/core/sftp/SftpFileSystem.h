#pragma once

#include <memory>
#include <string>

#include "core/engine/ListingGuard.h"
#include "core/sftp/SftpFolderWriter.h"

namespace ravelmoor {
class AgentClient;
}

namespace ravelmoor {

class Prompter;

// A folder tree on an SSH server, reached over one logged-on SFTP session.
// Paths are the engine's texts: absolute server paths, or paths below the
// connection's directory. Names are bytes, exactly as the server lists them;
// links are never followed: a listing and ReadFacts give a link's own facts,
// and its content is the link text. A reader from OpenForReading must be
// gone before the next call, and before this object.
//
// Where the server has ravelmoor too (on its PATH, or at the connection's
// agent path), listings and checksums below the connection's folder come
// from `ravelmoor agent` run there (AgentClient), so that a listing is one
// stream and no file data crosses the network to compare; otherwise, and
// with one notice where the agent speaks another protocol version, they go
// over plain SFTP.
//
// This is the reading side; the writes, and the one report of a failed
// connection through the prompter, are SftpFolderWriter's.
class SftpFileSystem : public SftpFolderWriter {
  public:
    SftpFileSystem(std::unique_ptr<SftpSession> session, Prompter& prompter);
    ~SftpFileSystem() override;

    ListOutcome ListFolder(const std::string& folder, ListSink& sink) override;
    bool ReadFacts(const std::string& path, EntryFacts& facts) override;
    bool ReadIdentity(const std::string& path, uint64_t& device, uint64_t& inode) override;
    std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                               uint32_t attributes) override;
    void Interrupt() override;
    InPlaceSum SumInPlace(FileEntry& entry, std::string_view folder, uint64_t limit) override;
    void ExpectSums(const std::vector<const FileEntry*>& entries, std::string_view folder,
                    uint64_t limit) override;

    // Whether the listing agent serves this side (started on first use).
    bool UsesAgent();

  private:
    // The path below the agent's folder of a server path it serves.
    bool AgentPathOf(const std::string& serverPath, std::string& relative);
    // A folder the server did not list, with the server's reply.
    ListOutcome NotListed() const;

    ListingGuard guard_;
    std::unique_ptr<AgentClient> agent_;
    bool agentTried_ = false;
};

}  // namespace ravelmoor
