#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "core/engine/FileSystem.h"
#include "core/sftp/AgentDecoder.h"
#include "core/sftp/AgentEncoder.h"

struct ssh_channel_struct;

namespace ravelmoor {

class SftpSession;

// The client end of the agent stream (AgentProtocol.h), over an exec
// channel of a logged-on SSH session: runs `ravelmoor agent --dir FOLDER`
// on the server, then asks it for listings and checksums. Paths are below
// FOLDER, "" for FOLDER itself, without a trailing '/'.
//
// The first listing asked for is asked recursively: the agent streams the
// whole tree below it, each folder whole (a folder whose listing broke off
// comes as not listable), and folders asked for later are taken from what
// has come. Checksums can be asked for ahead (Expect), so that many are
// under way at once. Every read and write is a call of the session, under
// its watchdog; a stream that breaks, ends early or says something
// malformed fails the session with the reason, so a part of a listing is
// never taken for all of it. Calls come from one thread at a time.
class AgentClient {
  public:
    // How long the agent may take to greet before the side goes on without it.
    static constexpr std::chrono::seconds kGreetingWait{10};

    enum class Start {
        Running,
        Absent,        // no agent answered (no such program, no exec channel): use plain SFTP
        OtherVersion,  // an agent of a version this one does not speak (PeerVersion): plain SFTP
        Silent,        // nothing answered within kGreetingWait: use plain SFTP
        Failed,        // the session failed; its ErrorText says why
    };

    explicit AgentClient(SftpSession& session);
    ~AgentClient();
    AgentClient(const AgentClient&) = delete;
    AgentClient& operator=(const AgentClient&) = delete;

    // Starts `program` (empty: "ravelmoor" as the server's PATH finds it)
    // on the server folder `folder` and takes its greeting.
    Start Begin(const std::string& program, const std::string& folder);
    uint64_t PeerVersion() const { return peerVersion_; }

    // Lists `folder` into `sink`. NotListable leaves the agent's reason in `whyNot`.
    ListStatus List(const std::string& folder, ListSink& sink, std::string& whyNot);

    // Asks for the checksum of a file (kind by `attributes`, listed `size`,
    // byte limit as ComputeChecksum's) without waiting for it.
    void Expect(const std::string& path, uint32_t attributes, uint64_t size, uint64_t limit);
    // Sends what Expect gathered.
    bool SendExpected();

    enum class Sum { Summed, Unreadable, Failed };
    // The checksum of a file, asked for now unless Expect asked already.
    // Unreadable leaves the agent's reason in `whyNot`.
    Sum Checksum(const std::string& path, uint32_t attributes, uint64_t size, uint64_t limit,
                 uint32_t& checksum, uint64_t& bytes, std::string& whyNot);

    // The device and inode of the object at `path` (a link's own); false
    // when the agent speaks a version without them, the object is gone or
    // the stream failed.
    bool Identity(const std::string& path, uint64_t& device, uint64_t& inode);

  private:
    struct Folder {
        std::string entries;  // the Entries payloads, one after the other
        std::string whyNot;
        bool done = false;
        bool listable = true;
    };
    struct Answer {
        bool summed = false;
        uint32_t checksum = 0;
        uint64_t bytes = 0;
        std::string whyNot;
    };

    static std::string SumKey(const std::string& path, uint64_t size, uint64_t limit);
    // Reads and files the next frame. False once the stream failed.
    bool TakeFrame();
    bool Take(AgentFrame type, std::string_view payload);
    bool ReadMore();
    bool Send();
    bool Broken(const std::string& reason);

    SftpSession& session_;
    ssh_channel_struct* channel_ = nullptr;
    AgentDecoder decoder_;
    AgentEncoder encoder_;
    std::string what_;
    uint64_t peerVersion_ = 0;
    bool failed_ = false;
    bool treeAsked_ = false;
    int listsUnderWay_ = 0;
    std::unordered_map<std::string, Folder> folders_;
    Folder* current_ = nullptr;
    uint64_t nextId_ = 0;
    std::unordered_map<uint64_t, std::string> asked_;  // id -> SumKey
    std::unordered_map<std::string, Answer> answers_;
    std::unordered_set<std::string> pendingKeys_;
    struct Identified {
        bool known = false;
        uint64_t device = 0;
        uint64_t inode = 0;
    };
    std::unordered_set<uint64_t> identifying_;
    std::unordered_map<uint64_t, Identified> identities_;
};

}  // namespace ravelmoor
