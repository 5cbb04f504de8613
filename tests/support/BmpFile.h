#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ravelmoor::test {

// A picture as rows of 0xRRGGBB colours, the top row first.
using Picture = std::vector<std::vector<uint32_t>>;

// The bytes of a BMP file with a 40-byte information header holding
// `picture` at `bitCount` bits per pixel (1, 4 and 8 with a colour table of
// the picture's colours, 24, or 32), its rows stored from the bottom up or,
// with `topDown`, from the top.
std::string BmpFile(const Picture& picture, int bitCount, bool topDown = false);

}  // namespace ravelmoor::test
