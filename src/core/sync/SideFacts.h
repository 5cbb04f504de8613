#pragma once

#include <cstdint>

namespace ravelmoor {

// What the pair memory knows of one object on one side as it was when the
// two sides last agreed about it.
struct SideFacts {
    enum Kind : uint8_t { Absent = 0, File = 1, Folder = 2, Link = 3 };
    Kind kind = Absent;
    uint64_t size = 0;
    int64_t lastWrite = 0;     // seconds since 1970, as the comparison lists it
    uint32_t nanoseconds = 0;  // below the second, where the side gives it
    uint32_t mode = 0;         // permission bits; 0 where the side does not say
    uint64_t inode = 0;        // 0 where the side does not say (FTP, SFTP)
    int64_t birth = 0;         // birth time in nanoseconds; 0 where not known
    uint32_t checksum = 0;     // CRC-32, when `summed`
    bool summed = false;

    bool Present() const { return kind != Absent; }
    // The same object in the same state, as far as both facts tell: kind,
    // size and time, and the inode where both know it.
    // Times within `toleranceSeconds`, or an hour apart within it with
    // `ignoreOneHour`, count as the same, as the comparison counts them.
    bool SameAs(const SideFacts& other, int32_t toleranceSeconds = 0,
                bool ignoreOneHour = false) const;
    // The same object (not its content): the inode, with the birth time where
    // both know it, else with size and time too, so that a reused inode does
    // not pass for a renamed file.
    bool SameIdentity(const SideFacts& other) const;
    bool operator==(const SideFacts&) const = default;
};

}  // namespace ravelmoor
