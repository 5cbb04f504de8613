#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/widgets/BackgroundBitmap.h"
#include "support/BmpFile.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::Picture;

// Five pixels wide, so that every depth pads its rows; no two rows alike, so
// that a picture upside down shows.
const Picture kColours = {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000},
                          {0x808000, 0xFF0000, 0xFF0000, 0x00FF00, 0x0000FF},
                          {0x000000, 0x000000, 0xFFFFFF, 0x808000, 0x00FF00}};
const Picture kTwoColours = {{0xFFFFFF, 0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF},
                             {0x000000, 0xFFFFFF, 0x000000, 0x000000, 0xFFFFFF},
                             {0x000000, 0x000000, 0x000000, 0xFFFFFF, 0x000000}};

Picture PictureOf(const BackgroundBitmap& bitmap) {
    Picture picture(bitmap.Height());
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x)
            picture[y].push_back(bitmap.Image().pixel(x, y) & 0xFFFFFFu);
    }
    return picture;
}

std::string Changed(std::string bytes, size_t at, char value) {
    bytes.at(at) = value;
    return bytes;
}

TEST(BackgroundBitmap, LoadFromFile_EachKindOfFile_DecodesOrRefuses) {
    const std::string good = test::BmpFile(kColours, 24);
    struct Case {
        std::string name;
        std::string bytes;
        const Picture* picture;  // null: refused
    };
    std::vector<Case> cases = {
        {"12-byte header", Changed(good, 14, 12), nullptr},
        {"wrong magic", Changed(good, 1, 'A'), nullptr},
        {"truncated pixels", good.substr(0, good.size() - 3), nullptr},
        {"truncated header", good.substr(0, 30), nullptr},
    };
    for (const int bitCount : {1, 4, 8, 24, 32}) {
        const Picture* picture = bitCount == 1 ? &kTwoColours : &kColours;
        cases.push_back(
            {std::to_string(bitCount) + " bits", test::BmpFile(*picture, bitCount), picture});
    }
    // Rows may also be stored top-down.
    cases.push_back({"24 bits top-down", test::BmpFile(kColours, 24, true), &kColours});
    test::TempTree tree;
    tree.Write("earlier.bmp", good);
    for (const Case& c : cases) {
        tree.Write("skin.bmp", c.bytes);
        BackgroundBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadFromFile(tree.Full("earlier.bmp")));
        // A refused file leaves no image behind, not even the earlier one.
        EXPECT_EQ(bitmap.LoadFromFile(tree.Full("skin.bmp")), c.picture != nullptr) << c.name;
        EXPECT_EQ(PictureOf(bitmap), c.picture ? *c.picture : Picture()) << c.name;
    }
}

}  // namespace
}  // namespace ravelmoor
