#include "core/engine/KeyPrefixes.h"

#include <algorithm>

#include "core/engine/CaseFold.h"
#include "core/engine/MatchKey.h"

namespace ravelmoor {
namespace {

bool Before(std::string_view a, std::string_view b) {
    return CompareKeys(a, b) < 0;
}

}  // namespace

void KeyPrefixes::AddFolder(const std::string& folder) {
    std::string key = FoldCase(folder);
    prefixes_.insert(
        std::upper_bound(prefixes_.begin(), prefixes_.end(), key,
                         [](const std::string& k, const std::string& p) { return Before(k, p); }),
        std::move(key));
}

bool KeyPrefixes::Covers(std::string_view key) const {
    if (prefixes_.empty()) return false;
    // The candidate is the greatest prefix that does not sort after the key.
    auto it =
        std::upper_bound(prefixes_.begin(), prefixes_.end(), key,
                         [](std::string_view k, const std::string& p) { return Before(k, p); });
    if (it == prefixes_.begin()) return false;
    --it;
    return key.substr(0, it->size()) == *it;
}

}  // namespace ravelmoor
