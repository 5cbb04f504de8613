#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ravelmoor {

// The stream between the SFTP side and `ravelmoor agent` on the server,
// spelt out in docs/AGENT-PROTOCOL.md. The agent first writes the greeting,
// which no version will ever change: the bytes of kAgentMagic and the
// protocol version as a varint. Everything after it is frames in both
// directions: a type byte, the payload's length as a varint (at most
// kAgentMaxPayload) and the payload. A peer that greets with a version it
// does not speak is not spoken to. Version 2 added the identity of an
// object (Identify, Identity); a client still speaks 1 without it.
inline constexpr std::string_view kAgentMagic = "RVMAGENT";
inline constexpr uint64_t kAgentVersion = 2;
inline constexpr uint64_t kAgentOldestVersion = 1;
inline constexpr size_t kAgentMaxPayload = size_t{1} << 20;
// The agent fills an entries frame up to about this size before it sends it.
inline constexpr size_t kAgentBatch = size_t{60} << 10;

enum class AgentFrame : uint8_t {
    // Client to agent.
    List = 'L',      // flags byte (kAgentRecursive), then the folder below the agent's folder
    Sum = 'C',       // id, kind byte, listed size, byte limit, then the file's path
    Identify = 'I',  // id, then the path of the object (its link, never followed)
    // Agent to client.
    Folder = 'F',     // a folder's listing starts: its path below the agent's folder
    Entries = 'E',    // children of that folder, one after the other
    FolderEnd = 'D',  // status byte (AgentListed), then the reason it was not listable
    ListEnd = 'Z',    // every folder of one List request has been sent
    Summed = 'S',     // id, status byte (AgentSummed), CRC-32 register (4 bytes), bytes, reason
    Refusal = 'X',    // a request the agent cannot take, in words; the agent then ends
    Identity = 'N',   // id, status byte (AgentIdentified), device, inode
};

inline constexpr uint8_t kAgentRecursive = 1;

// What an entry is; the same byte says it in a listing and in a Sum request.
enum class AgentKind : uint8_t { File = 0, Folder = 1, Link = 2 };

enum class AgentListed : uint8_t { Listed = 0, NotListable = 1 };
enum class AgentSummed : uint8_t { Summed = 0, Unreadable = 1 };
enum class AgentIdentified : uint8_t { Known = 0, Gone = 1 };

}  // namespace ravelmoor
