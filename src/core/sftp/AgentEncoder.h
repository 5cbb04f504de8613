#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/engine/FileSystem.h"
#include "core/sftp/AgentProtocol.h"

namespace ravelmoor {

// Writes the agent stream (AgentProtocol.h) into a buffer that the caller
// sends and empties. Entries of one folder are gathered into Entries frames
// of about kAgentBatch bytes; each entry is its kind, its name's length and
// bytes and, for a file or a link, its size and its time as the difference
// to the entry before it in the folder (zig-zag varints), so that a
// listing costs a few bytes more than its names.
class AgentEncoder {
  public:
    std::string& Buffer() { return out_; }

    void Greeting(uint64_t version = kAgentVersion);
    void List(std::string_view folder, bool recursive);
    void Sum(uint64_t id, uint32_t attributes, uint64_t size, uint64_t limit,
             std::string_view path);

    void Folder(std::string_view path);
    void Entry(const DirEntryFacts& facts);
    void FolderEnd(AgentListed status, std::string_view reason);
    void ListEnd();
    void Summed(uint64_t id, AgentSummed status, uint32_t checksum, uint64_t bytes,
                std::string_view reason);
    void Refusal(std::string_view reason);
    void Identify(uint64_t id, std::string_view path);
    void Identity(uint64_t id, AgentIdentified status, uint64_t device, uint64_t inode);

    static void PutVarint(std::string& out, uint64_t value);
    static uint64_t ZigZag(int64_t value);
    static AgentKind KindOf(uint32_t attributes);

  private:
    void Frame(AgentFrame type, std::string_view payload);
    void FlushEntries();

    std::string out_;
    std::string entries_;
    std::string scratch_;
    int64_t lastTime_ = 0;
};

}  // namespace ravelmoor
