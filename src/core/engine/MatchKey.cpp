#include "core/engine/MatchKey.h"

#include <algorithm>
#include <cstring>

#include "core/engine/CaseFold.h"

namespace ravelmoor {
namespace {

KeyOrder MakeKeyOrder() {
    KeyOrder order;
    for (int b = 0; b < 256; ++b) {
        auto mapped = static_cast<uint8_t>(b);
        if (b == '/') {
            mapped = 0x01;
        } else if (b >= 0x01 && b < '/') {
            mapped = static_cast<uint8_t>(b + 1);
        }
        order.folded[static_cast<size_t>(b)] = mapped;
    }
    return order;
}

}  // namespace

const KeyOrder& KeyOrderTables() {
    static const KeyOrder order = MakeKeyOrder();
    return order;
}

int CompareKeys(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    // The map is one-to-one, so the first differing byte decides.
    const auto* pa = reinterpret_cast<const unsigned char*>(a.data());
    const auto* pb = reinterpret_cast<const unsigned char*>(b.data());
    size_t i = 0;
    while (i < common && pa[i] == pb[i])
        ++i;
    if (i == common) {
        if (a.size() == b.size()) return 0;
        return a.size() < b.size() ? -1 : 1;
    }
    const auto& map = KeyOrderTables().folded;
    return map[pa[i]] < map[pb[i]] ? -1 : 1;
}

}  // namespace ravelmoor
