#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace ravelmoor {

// One key of a sort: its bytes (not NUL-terminated) and the position of its
// entry in the list before sorting.
struct SortKey {
    const unsigned char* bytes;
    uint32_t length;
    uint32_t index;
};

// Sorts `keys` by their bytes mapped through `map`, as unsigned bytes, a key
// that is a prefix of another first, and equal keys in their original order.
//
// A most-significant-byte-first radix sort: each pass distributes one range of
// keys by the byte at one depth, stably, and only ranges that still hold more
// than one distinct key go deeper. Small ranges finish with an insertion sort.
// The work is proportional to the bytes needed to tell the keys apart, not to
// the longest key times the number of keys.
//
// Returns false, with `keys` untouched, when the work memory cannot be had.
// Stops early (order unspecified, returns true) when `cancel` is set.
bool Megasort(SortKey* keys, size_t count, const std::array<uint8_t, 256>& map,
              const std::atomic<int32_t>* cancel);

}  // namespace ravelmoor
