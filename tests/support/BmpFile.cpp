#include "support/BmpFile.h"

#include <algorithm>

namespace ravelmoor::test {
namespace {

void Put(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string BmpFile(const Picture& picture, int bitCount, bool topDown) {
    std::vector<uint32_t> colours;
    for (const auto& row : picture) {
        for (uint32_t rgb : row) {
            if (bitCount <= 8 && std::find(colours.begin(), colours.end(), rgb) == colours.end())
                colours.push_back(rgb);
        }
    }
    std::string pixels;
    for (size_t i = 0; i < picture.size(); ++i) {
        const auto& row = picture[topDown ? i : picture.size() - 1 - i];
        std::string line;
        uint32_t bits = 0;
        int used = 0;
        for (uint32_t rgb : row) {
            if (bitCount > 8) {
                Put(line, rgb, bitCount / 8);  // blue, green, red (and a fourth byte 0)
                continue;
            }
            const auto index = std::find(colours.begin(), colours.end(), rgb) - colours.begin();
            bits = (bits << bitCount) | static_cast<uint32_t>(index);
            used += bitCount;
            if (used == 8) {
                Put(line, bits, 1);
                bits = 0;
                used = 0;
            }
        }
        if (used > 0) Put(line, bits << (8 - used), 1);
        line.resize((line.size() + 3) / 4 * 4, '\0');  // rows are padded to four bytes
        pixels += line;
    }
    const auto height = static_cast<int32_t>(picture.size());
    const auto offset = static_cast<uint32_t>(14 + 40 + 4 * colours.size());
    std::string bytes = "BM";
    Put(bytes, offset + static_cast<uint32_t>(pixels.size()), 4);
    Put(bytes, 0, 4);
    Put(bytes, offset, 4);
    Put(bytes, 40, 4);
    Put(bytes, static_cast<uint32_t>(picture.at(0).size()), 4);
    Put(bytes, static_cast<uint32_t>(topDown ? -height : height), 4);
    Put(bytes, 1, 2);  // planes
    Put(bytes, static_cast<uint32_t>(bitCount), 2);
    Put(bytes, 0, 4);  // uncompressed
    Put(bytes, static_cast<uint32_t>(pixels.size()), 4);
    Put(bytes, 2835, 4);  // 72 dpi across and down
    Put(bytes, 2835, 4);
    Put(bytes, static_cast<uint32_t>(colours.size()), 4);
    Put(bytes, 0, 4);
    for (uint32_t rgb : colours)
        Put(bytes, rgb, 4);
    return bytes + pixels;
}

}  // namespace ravelmoor::test
