#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/engine/CaseFold.h"
#include "core/engine/FileList.h"
#include "core/engine/MatchKey.h"

namespace ravelmoor {
namespace {

std::vector<std::string> SortedPaths(const std::vector<std::string>& paths, size_t prefix) {
    FileList list;
    for (const auto& path : paths) {
        FileEntry entry;
        entry.path = path;
        list.Add(entry);
    }
    EXPECT_TRUE(list.Sort(nullptr, prefix));
    std::vector<std::string> out;
    for (size_t i = 0; i < list.GetSize(); ++i)
        out.push_back(list.ElementAt(i).path.str());
    return out;
}

TEST(FileListSort, MarkersSeparatorsPrefixesAndCase) {
    const std::string m = "\xFF";
    const std::vector<std::string> expected = {
        "/r/a.txt",
        "/r/B.txt",
        "/r/b.txt2",
        "/r/c",
        "/r/" + m + "Docs",
        "/r/" + m + "docs/a",
        "/r/" + m + "Docs/z",
        "/r/" + m + "docs/" + m + "sub",
        "/r/" + m + "docs/" + m + "sub/x",
        "/r/" + m + "docs-old",
        "/r/" + m + "docs-old/a",
    };
    std::vector<std::string> shuffled = expected;
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        EXPECT_EQ(SortedPaths(shuffled, 3), expected);
    }
}

// The radix sort against a plain stable comparison sort over the same keys.
TEST(FileListSort, AgreesWithAReferenceSortOnRandomTrees) {
    std::mt19937 random(42);
    const std::string alphabet =
        "aAbB/.-_\xFF"
        "z\xC3\x89";
    for (size_t count : {0, 1, 2, 23, 24, 25, 500, 20000}) {
        std::vector<std::string> paths;
        for (size_t i = 0; i < count; ++i) {
            std::string path = "/root/";
            const size_t length = 1 + random() % 12;
            for (size_t k = 0; k < length; ++k)
                path += alphabet[random() % alphabet.size()];
            paths.push_back(path);
        }
        std::vector<std::string> expected = paths;
        std::stable_sort(expected.begin(), expected.end(),
                         [](const std::string& a, const std::string& b) {
                             return CompareKeys(FoldCase(a.substr(6)), FoldCase(b.substr(6))) < 0;
                         });
        EXPECT_EQ(SortedPaths(paths, 6), expected) << count << " keys";
    }
}

TEST(FileListSort, CancelLeavesEveryEntryInTheList) {
    FileList list;
    for (int i = 0; i < 5000; ++i) {
        FileEntry entry;
        entry.path = "/r/" + std::to_string(i * 7919 % 5000);
        list.Add(entry);
    }
    std::atomic<int32_t> cancel{1};
    EXPECT_TRUE(list.Sort(&cancel, 3));
    EXPECT_EQ(list.GetSize(), 5000u);
}

}  // namespace
}  // namespace ravelmoor
