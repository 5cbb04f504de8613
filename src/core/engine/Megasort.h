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
// A most-significant-byte-first radix sort done in place: each pass swaps the
// keys of one range into buckets by the byte at one depth, and only buckets
// that still hold more than one key go deeper. Small ranges finish with an
// insertion sort. Keys that turn out equal are put in the order of `index`,
// which makes the result the same as a stable sort's. The work is
// proportional to the bytes needed to tell the keys apart, not to the longest
// key times the number of keys, and no second array of keys is needed.
//
// Returns false, with `keys` untouched, when the work memory cannot be had.
// Stops early (order unspecified, returns true) when `cancel` is set.
bool Megasort(SortKey* keys, size_t count, const std::array<uint8_t, 256>& map,
              const std::atomic<int32_t>* cancel);

}  // namespace ravelmoor
