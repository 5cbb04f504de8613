#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravelmoor {

// The order of match keys and sort keys. A key is the case-folded path below
// the root (see CaseFold.h), folder markers included. Keys compare as unsigned bytes after '/'
// is mapped below every other byte, so that a folder's content follows the
// folder directly; the marker (0xFF) stays above everything, so a folder's
// files come before its sub-folders. A key that is a prefix of another comes
// first.
//
// The map sends '/' to 0x01 and moves the bytes 0x01..0x2E up by one, which
// keeps it one-to-one: two different names can never get equal keys.
struct KeyOrder {
    std::array<uint8_t, 256> folded{};  // for text that is already case-folded
};
const KeyOrder& KeyOrderTables();

// Negative, zero or positive, like memcmp, in key order.
int CompareKeys(std::string_view a, std::string_view b);

}  // namespace ravelmoor
