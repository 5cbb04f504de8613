#include "core/twoway/FactsOfEntry.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "core/engine/FileEntry.h"
#include "core/engine/FileSystem.h"

namespace ravelmoor {
namespace {

void PutNumber(std::string& out, uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

bool TakeNumber(std::string_view& in, uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (in.empty()) return false;
        const auto byte = static_cast<uint8_t>(in.front());
        in.remove_prefix(1);
        value |= static_cast<uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

// Signed numbers go zig-zag, so that small negative times stay short.
uint64_t ZigZag(int64_t value) {
    return (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63);
}
int64_t UnZigZag(uint64_t value) {
    return static_cast<int64_t>(value >> 1) ^ -static_cast<int64_t>(value & 1);
}

// Which optional fields follow: a field that is zero is left out.
enum Present : uint8_t {
    kHasNanoseconds = 1,
    kHasMode = 2,
    kHasInode = 4,
    kHasBirth = 8,
    kHasChecksum = 16,
};

// Target's size, time and mode are Source's after nearly every sync: a
// target whose are is kept without them, marked in its first byte.
constexpr uint8_t kLikeSource = 0x80;

bool LikeSource(const SideFacts& facts, const SideFacts* source) {
    return source != nullptr && facts.Present() && source->kind == facts.kind &&
           source->size == facts.size && source->lastWrite == facts.lastWrite &&
           source->nanoseconds == facts.nanoseconds && source->mode == facts.mode;
}

void PackOne(std::string& out, const SideFacts& facts, const SideFacts* source) {
    uint8_t has = 0;
    if (facts.nanoseconds != 0) has |= kHasNanoseconds;
    if (facts.mode != 0) has |= kHasMode;
    if (facts.inode != 0) has |= kHasInode;
    if (facts.birth != 0) has |= kHasBirth;
    if (facts.summed) has |= kHasChecksum;
    const bool like = LikeSource(facts, source);
    out.push_back(static_cast<char>(facts.kind | (has << 2) | (like ? kLikeSource : 0)));
    if (!facts.Present()) return;
    if (!like) {
        PutNumber(out, facts.size);
        PutNumber(out, ZigZag(facts.lastWrite));
        if ((has & kHasNanoseconds) != 0) PutNumber(out, facts.nanoseconds);
        if ((has & kHasMode) != 0) PutNumber(out, facts.mode);
    }
    if ((has & kHasInode) != 0) PutNumber(out, facts.inode);
    if ((has & kHasBirth) != 0) PutNumber(out, ZigZag(facts.birth));
    if ((has & kHasChecksum) != 0) PutNumber(out, facts.checksum);
}

bool UnpackOne(std::string_view& in, SideFacts& facts, const SideFacts* source) {
    facts = SideFacts();
    if (in.empty()) return false;
    const auto head = static_cast<uint8_t>(in.front());
    in.remove_prefix(1);
    facts.kind = static_cast<SideFacts::Kind>(head & 3);
    const uint8_t has = (head >> 2) & 0x1F;
    const bool like = (head & kLikeSource) != 0;
    if (!facts.Present()) return has == 0 && !like;
    uint64_t value = 0;
    const auto take = [&](uint8_t bit, auto& field) {
        if ((has & bit) == 0) return true;
        if (!TakeNumber(in, value)) return false;
        field = static_cast<std::remove_reference_t<decltype(field)>>(value);
        return true;
    };
    if (like) {
        if (source == nullptr || source->kind != facts.kind) return false;
        facts.size = source->size;
        facts.lastWrite = source->lastWrite;
        facts.nanoseconds = source->nanoseconds;
        facts.mode = source->mode;
    } else {
        if (!TakeNumber(in, facts.size) || !TakeNumber(in, value)) return false;
        facts.lastWrite = UnZigZag(value);
        if (!take(kHasNanoseconds, facts.nanoseconds) || !take(kHasMode, facts.mode)) return false;
    }
    if (!take(kHasInode, facts.inode) || !take(kHasBirth, value)) return false;
    if ((has & kHasBirth) != 0) facts.birth = UnZigZag(value);
    facts.summed = (has & kHasChecksum) != 0;
    return take(kHasChecksum, facts.checksum);
}

}  // namespace

SideFacts FactsOfEntry(const FileEntry& entry) {
    SideFacts facts;
    if (entry.IsBlank() || entry.status == EntryStatus::Missing) return facts;
    facts.kind = entry.IsFolder()    ? SideFacts::Folder
                 : entry.IsSymlink() ? SideFacts::Link
                                     : SideFacts::File;
    if (facts.kind != SideFacts::Folder) {
        facts.size = entry.size;
        facts.lastWrite = entry.lastWrite;
    }
    if (entry.checksumBytes == entry.size && entry.checksumBytes != 0) {
        facts.checksum = entry.checksum;
        facts.summed = true;
    }
    return facts;
}

SideFacts WithLocalIdentity(SideFacts listed, const std::string& path) {
    struct statx st {};
    if (!listed.Present() || statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW,
                                   STATX_INO | STATX_BTIME | STATX_MTIME | STATX_MODE, &st) != 0) {
        return listed;
    }
    listed.inode = st.stx_ino;
    listed.mode = st.stx_mode & 07777;
    if (listed.kind != SideFacts::Folder && st.stx_mtime.tv_sec == listed.lastWrite) {
        listed.nanoseconds = st.stx_mtime.tv_nsec;
    }
    if ((st.stx_mask & STATX_BTIME) != 0) {
        listed.birth = st.stx_btime.tv_sec * 1000000000LL + st.stx_btime.tv_nsec;
    }
    return listed;
}

SideFacts WithIdentity(SideFacts listed, FileSystem* fs, bool local, const std::string& path) {
    if (local) return WithLocalIdentity(listed, path);
    uint64_t device = 0;
    uint64_t inode = 0;
    // Within one side's folder a move keeps the device: the inode tells.
    if (listed.Present() && fs != nullptr && fs->ReadIdentity(path, device, inode))
        listed.inode = inode;
    return listed;
}

std::string PackFacts(const SideFacts& source, const SideFacts& target) {
    std::string packed;
    PackOne(packed, source, nullptr);
    PackOne(packed, target, &source);
    return packed;
}

bool UnpackFacts(std::string_view packed, SideFacts& source, SideFacts& target) {
    return UnpackOne(packed, source, nullptr) && UnpackOne(packed, target, &source) &&
           packed.empty();
}

RootIdentity LocalRootIdentity(const std::string& folder) {
    struct statx st {};
    if (statx(AT_FDCWD, folder.c_str(), 0, STATX_INO, &st) != 0) return {"local ?"};
    // The mount point: the highest folder above that is on the same device.
    std::string mount = folder;
    while (mount.size() > 1) {
        if (mount.ends_with('/')) mount.pop_back();
        const size_t slash = mount.rfind('/');
        const std::string parent = slash == 0 ? "/" : mount.substr(0, slash);
        struct statx up {};
        if (statx(AT_FDCWD, parent.c_str(), 0, STATX_INO, &up) != 0 ||
            up.stx_dev_major != st.stx_dev_major || up.stx_dev_minor != st.stx_dev_minor) {
            break;
        }
        mount = parent;
    }
    char text[96];
    std::snprintf(text, sizeof text, "local %u:%u %llu ", st.stx_dev_major, st.stx_dev_minor,
                  static_cast<unsigned long long>(st.stx_ino));
    return {text + mount};
}

RootIdentity RemoteRootIdentity(const std::string& shown) {
    return {"server " + shown};
}

}  // namespace ravelmoor
