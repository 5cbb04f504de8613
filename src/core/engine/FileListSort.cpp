// FileList::Sort: builds one key per entry and hands them to Megasort.
#include <new>
#include <string>
#include <vector>

#include "core/engine/CaseFold.h"
#include "core/engine/FileList.h"
#include "core/engine/MatchKey.h"
#include "core/engine/Megasort.h"
#include "core/engine/Trace.h"

namespace ravelmoor {

bool FileList::Sort(const std::atomic<int32_t>* cancel, size_t prefixLength) {
    TraceLine("Start sort\n");
    const size_t n = count_;
    if (n < 2) return true;
    try {
        std::vector<SortKey> keys(n);
        // Plain ASCII keys are read in place and lowered through the map.
        // Others are folded once into `folded`; their pointers are set when
        // that text has stopped growing.
        std::string folded;
        std::vector<std::pair<uint32_t, size_t>> foldedAt;  // entry, offset
        for (size_t k = 0; k < n; ++k) {
            const std::string_view path = ElementAt(k).path.view();
            const std::string_view below = path.substr(std::min(prefixLength, path.size()));
            if (IsAsciiText(below)) {
                keys[k] = {reinterpret_cast<const unsigned char*>(below.data()),
                           static_cast<uint32_t>(below.size()), static_cast<uint32_t>(k)};
            } else {
                const size_t offset = folded.size();
                AppendFolded(below, folded);
                foldedAt.emplace_back(static_cast<uint32_t>(k), offset);
                keys[k] = {nullptr, static_cast<uint32_t>(folded.size() - offset),
                           static_cast<uint32_t>(k)};
            }
        }
        for (const auto& [k, offset] : foldedAt) {
            keys[k].bytes = reinterpret_cast<const unsigned char*>(folded.data() + offset);
        }

        if (!Megasort(keys.data(), n, KeyOrderTables().raw, cancel)) return false;
        if (cancel != nullptr && cancel->load() != 0) return true;

        std::vector<uint32_t> order(n);
        for (size_t k = 0; k < n; ++k)
            order[k] = keys[k].index;
        keys = std::vector<SortKey>();
        folded = std::string();
        Permute(order);
    } catch (const std::bad_alloc&) {
        TraceLine("Megasort: out of memory\n");
        return false;
    }
    return true;
}

}  // namespace ravelmoor
