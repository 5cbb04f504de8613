#include "engine/Megasort.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "engine/Trace.h"

namespace ravelmoor {
namespace {

constexpr size_t kInsertionSortBelow = 24;

struct Range {
    size_t begin;
    size_t count;
    uint32_t depth;
};

// Compares two keys from `depth` on; both are known to agree before it.
inline bool KeyLess(const SortKey& a, const SortKey& b, uint32_t depth,
                    const std::array<uint8_t, 256>& map) {
    const uint32_t common = std::min(a.length, b.length);
    for (uint32_t i = depth; i < common; ++i) {
        const uint8_t ma = map[a.bytes[i]];
        const uint8_t mb = map[b.bytes[i]];
        if (ma != mb) return ma < mb;
    }
    return a.length < b.length;
}

void InsertionSort(SortKey* keys, size_t count, uint32_t depth,
                   const std::array<uint8_t, 256>& map) {
    for (size_t i = 1; i < count; ++i) {
        const SortKey key = keys[i];
        size_t j = i;
        // Strictly less: equal keys never pass each other.
        while (j > 0 && KeyLess(key, keys[j - 1], depth, map)) {
            keys[j] = keys[j - 1];
            --j;
        }
        keys[j] = key;
    }
}

bool Cancelled(const std::atomic<int32_t>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0;
}

}  // namespace

bool Megasort(SortKey* keys, size_t count, const std::array<uint8_t, 256>& map,
              const std::atomic<int32_t>* cancel) {
    if (count < 2) return true;
    std::unique_ptr<SortKey[]> work(new (std::nothrow) SortKey[count]);
    std::vector<Range> pending;
    try {
        pending.reserve(256);
    } catch (const std::bad_alloc&) {
        work.reset();
    }
    if (!work) {
        TraceLine("Megasort: out of memory\n");
        return false;
    }

    // Bucket 0 holds the keys that end at this depth; bucket b + 1 the keys
    // whose mapped byte there is b.
    size_t counts[257];
    size_t starts[257];
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

        uint32_t depth = range.depth;
        size_t only = 0;
        for (;;) {
            std::fill(std::begin(counts), std::end(counts), 0);
            for (size_t k = 0; k < range.count; ++k) {
                const SortKey& key = part[k];
                ++counts[depth < key.length ? map[key.bytes[depth]] + 1u : 0u];
            }
            only = 257;
            for (size_t b = 0; b < 257; ++b) {
                if (counts[b] == range.count) only = b;
            }
            // Every key has the same byte here: nothing to move, look deeper.
            if (only == 0 || only == 257) break;
            ++depth;
        }
        if (only == 0) continue;  // all keys ended together: equal, keep their order

        size_t offset = 0;
        for (size_t b = 0; b < 257; ++b) {
            starts[b] = offset;
            offset += counts[b];
        }
        SortKey* out = work.get();
        for (size_t k = 0; k < range.count; ++k) {
            const SortKey& key = part[k];
            out[starts[depth < key.length ? map[key.bytes[depth]] + 1u : 0u]++] = key;
        }
        std::memcpy(part, out, range.count * sizeof(SortKey));

        // Bucket 0 (ended keys) is final. Larger buckets are pushed last so
        // that the stack stays short.
        offset = counts[0];
        for (size_t b = 1; b < 257; ++b) {
            if (counts[b] > 1) pending.push_back({range.begin + offset, counts[b], depth + 1});
            offset += counts[b];
        }
    }
    return true;
}

}  // namespace ravelmoor
