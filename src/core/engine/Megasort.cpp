#include "core/engine/Megasort.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/engine/Trace.h"

namespace ravelmoor {
namespace {

constexpr size_t kInsertionSortBelow = 24;

struct Range {
    size_t begin;
    size_t count;
    uint32_t depth;
};

// Key order from `depth` on (both keys agree before it); equal keys keep
// their original order, which makes the whole sort stable.
inline bool KeyLess(const SortKey& a, const SortKey& b, uint32_t depth,
                    const std::array<uint8_t, 256>& map) {
    const uint32_t common = std::min(a.length, b.length);
    for (uint32_t i = depth; i < common; ++i) {
        const uint8_t ma = map[a.bytes[i]];
        const uint8_t mb = map[b.bytes[i]];
        if (ma != mb) return ma < mb;
    }
    if (a.length != b.length) return a.length < b.length;
    return a.index < b.index;
}

void InsertionSort(SortKey* keys, size_t count, uint32_t depth,
                   const std::array<uint8_t, 256>& map) {
    for (size_t i = 1; i < count; ++i) {
        const SortKey key = keys[i];
        size_t j = i;
        while (j > 0 && KeyLess(key, keys[j - 1], depth, map)) {
            keys[j] = keys[j - 1];
            --j;
        }
        keys[j] = key;
    }
}

// Bucket 0 holds the keys that end at `depth`; bucket b + 1 those whose
// mapped byte there is b.
inline size_t BucketOf(const SortKey& key, uint32_t depth, const std::array<uint8_t, 256>& map) {
    return depth < key.length ? map[key.bytes[depth]] + 1u : 0u;
}

bool Cancelled(const std::atomic<int32_t>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0;
}

}  // namespace

bool Megasort(SortKey* keys, size_t count, const std::array<uint8_t, 256>& map,
              const std::atomic<int32_t>* cancel) {
    if (count < 2) return true;
    std::vector<Range> pending;
    try {
        pending.reserve(1024);
    } catch (const std::bad_alloc&) {
        TraceLine("Megasort: out of memory\n");
        return false;
    }

    size_t counts[257];
    size_t next[257];
    size_t ends[257];
    pending.push_back({0, count, 0});
    while (!pending.empty()) {
        if (Cancelled(cancel)) return true;
        const Range range = pending.back();
        pending.pop_back();
        SortKey* part = keys + range.begin;
        if (range.count < kInsertionSortBelow) {
            InsertionSort(part, range.count, range.depth, map);
            continue;
        }

        // Skip the bytes that every key of the range shares.
        uint32_t depth = range.depth;
        size_t single = 0;
        for (;;) {
            std::fill(std::begin(counts), std::end(counts), 0);
            for (size_t k = 0; k < range.count; ++k)
                ++counts[BucketOf(part[k], depth, map)];
            single = 257;
            for (size_t b = 0; b < 257; ++b) {
                if (counts[b] == range.count) single = b;
            }
            if (single == 0 || single == 257) break;
            ++depth;
        }
        if (single == 0) {
            // Every key ended here: they are equal, so their original order decides.
            std::sort(part, part + range.count,
                      [](const SortKey& a, const SortKey& b) { return a.index < b.index; });
            continue;
        }

        // Distribute in place: each key is swapped straight into its bucket.
        size_t offset = 0;
        for (size_t b = 0; b < 257; ++b) {
            next[b] = offset;
            offset += counts[b];
            ends[b] = offset;
        }
        for (size_t b = 0; b < 257; ++b) {
            while (next[b] < ends[b]) {
                SortKey key = part[next[b]];
                size_t home = BucketOf(key, depth, map);
                while (home != b) {
                    std::swap(key, part[next[home]++]);
                    home = BucketOf(key, depth, map);
                }
                part[next[b]++] = key;
            }
        }

        offset = 0;
        for (size_t b = 0; b < 257; ++b) {
            if (counts[b] > 1) {
                if (b == 0) {
                    pending.push_back({range.begin + offset, counts[b], depth});
                } else {
                    pending.push_back({range.begin + offset, counts[b], depth + 1});
                }
            }
            offset += counts[b];
        }
    }
    return true;
}

}  // namespace ravelmoor
