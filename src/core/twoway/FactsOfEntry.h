#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/sync/SideFacts.h"

namespace ravelmoor {

struct FileEntry;
class FileSystem;

// The facts the comparison listed for `entry`; kind Absent for a blank one.
SideFacts FactsOfEntry(const FileEntry& entry);
// `listed` completed with what statx says of the local object at `path`
// (inode, birth time, nanoseconds, mode); unchanged when it can not be read.
SideFacts WithLocalIdentity(SideFacts listed, const std::string& path);

// `listed` completed with the identity of the object at `path` on `fs`
// (none: not asked): a
// local side's by statx (WithLocalIdentity), a server's where its side can
// tell it (the listing agent); unchanged where neither can.
SideFacts WithIdentity(SideFacts listed, FileSystem* fs, bool local, const std::string& path);

// Both sides' facts of one path in the pair memory's compact form, and back.
std::string PackFacts(const SideFacts& source, const SideFacts& target);
bool UnpackFacts(std::string_view packed, SideFacts& source, SideFacts& target);

// What identifies a side's root: for a local folder the device, the folder's
// inode and the mount point it lies on; for a folder on a server its text.
struct RootIdentity {
    std::string text;

    bool operator==(const RootIdentity&) const = default;
};
RootIdentity LocalRootIdentity(const std::string& folder);
RootIdentity RemoteRootIdentity(const std::string& shown);

}  // namespace ravelmoor
