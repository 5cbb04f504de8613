#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/engine/CaseFold.h"
#include "core/engine/FileList.h"
#include "core/engine/FolderPairReader.h"
#include "core/engine/MatchKey.h"
#include "core/engine/ScanFolder.h"
#include "core/engine/TreeScan.h"
#include "core/local/LocalFileSystem.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

// An entry's path as the scan orders it: the folder marker before every
// folder name.
std::string MarkedPath(const FileEntry& entry) {
    const std::string path = entry.path.str();
    std::string out;
    for (size_t start = 0;;) {
        const size_t slash = path.find('/', start);
        const bool last = slash == std::string::npos;
        if (!last || entry.IsFolder()) out.push_back(kFolderMarker);
        AppendScanName(out, std::string_view(path).substr(start, slash - start));
        if (last) return out;
        out.push_back('/');
        start = slash + 1;
    }
}

// The scan sorts each folder's children as it lists them; the list it makes
// must be in the order one sort over every whole path gives, whatever the
// names: case twins (files and folders whose contents interleave), bytes
// that are not UTF-8, 0xFF, names that begin one another, deep and wide
// folders.
// A random tree of these names (many shared with another tree made with a
// different seed), and the paths of its entries as ScanFolder lists them.
std::vector<std::string> MakeRandomTree(test::TempTree& tree, unsigned seed, int wide) {
    const std::vector<std::string> names = {
        "a",    "A",      "a.b",  "a-b", "ab", "b", "\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\xA9",
        "\xE9", "x\xFFy", "\xFF", "a b", "Z",  "_"};
    std::mt19937 random(seed);
    std::vector<std::string> folders = {""};
    std::set<std::string> madePaths;
    for (size_t made = 0; made < 60; ++made) {
        const std::string path = folders[random() % folders.size()] +
                                 names[random() % names.size()] +
                                 std::to_string(random() % 3 == 0 ? 1 : 0);
        if (!madePaths.insert(path).second) continue;
        if (random() % 2 == 0) {
            tree.MakeFolder(path);
            folders.push_back(path + "/");
        } else {
            tree.Write(path, "x");
        }
    }
    for (int n = 0; n < wide; ++n)
        tree.Write(folders.back() + "w" + std::to_string(n * 7919 % 3001), "x");

    LocalFileSystem fs;
    FileList list;
    ScanOptions options;
    options.includeSubFolders = options.recordFolders = true;
    EXPECT_TRUE(ScanFolder(fs, list, tree.Root(), options).ok);
    std::vector<std::string> scanned;
    for (size_t i = 0; i < list.GetSize(); ++i)
        scanned.push_back(MarkedPath(list.ElementAt(i)));
    return scanned;
}

std::vector<std::string> MarkedPaths(const FileList& list) {
    std::vector<std::string> paths;
    for (size_t i = 0; i < list.GetSize(); ++i)
        paths.push_back(MarkedPath(list.ElementAt(i)));
    return paths;
}

// The scan sorts each folder's children as it lists them; the list it makes
// must be in the order one sort over every whole path gives, whatever the
// names: case twins (files and folders whose contents interleave), bytes
// that are not UTF-8, 0xFF, names that begin one another, deep and wide
// folders.
TEST(ScanOrder, IsTheOrderOfOneSortOverWholePaths) {
    for (unsigned round = 0; round < 6; ++round) {
        test::TempTree tree;
        const std::vector<std::string> scanned =
            MakeRandomTree(tree, 11 + round, round == 0 ? 3000 : 50);
        std::vector<std::string> sorted = scanned;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const std::string& a, const std::string& b) {
                             return CompareKeys(FoldCase(a), FoldCase(b)) < 0;
                         });
        EXPECT_EQ(scanned, sorted) << "round " << round;
    }
}

// Listed as the two sides of a comparison by several threads, as two trees
// or folder pair by folder pair (with the small files of each pair read as
// it is listed, or not), each list comes out as ScanFolder makes it on one
// thread: the same tree twice, and two trees that share some names.
TEST(ScanOrder, EverySideComesOutAsOneThreadListsIt) {
    enum class Listing { Apart, Paired, PairedAndRead };
    ComparisonRules byContent;
    byContent.method = ComparisonMethod::Crc;
    byContent.includeSubFolders = true;
    for (unsigned round = 0; round < 4; ++round) {
        test::TempTree first;
        test::TempTree second;
        const std::vector<std::string> firstPaths = MakeRandomTree(first, 21 + round, 300);
        const std::vector<std::string> secondPaths = MakeRandomTree(second, 41 + round, 20);
        LocalFileSystem fs;
        ScanOptions options;
        options.includeSubFolders = options.recordFolders = true;
        for (const Listing listing : {Listing::Apart, Listing::Paired, Listing::PairedAndRead}) {
            for (const bool same : {true, false}) {
                for (const size_t threads : {1, 2, 8}) {
                    FileList lists[2];
                    TreeScan scan;
                    const std::string other = same ? first.Root() : second.Root();
                    std::atomic<uint64_t> bytes{0};
                    const FolderPairReader reader(byContent, nullptr, &bytes);
                    if (listing == Listing::Apart) {
                        scan.Add(fs, lists[0], first.Root(), options, true);
                        scan.Add(fs, lists[1], other, options, true);
                    } else {
                        scan.AddPair({fs, lists[0], first.Root(), options},
                                     {fs, lists[1], other, options},
                                     listing == Listing::PairedAndRead ? &reader : nullptr);
                    }
                    const std::vector<ScanResult> results = scan.Run(threads);
                    const std::string what = "round " + std::to_string(round) +
                                             (listing == Listing::Apart    ? ", apart"
                                              : listing == Listing::Paired ? ", paired"
                                                                           : ", paired and read") +
                                             (same ? ", same tree, " : ", two trees, ") +
                                             std::to_string(threads) + " threads";
                    const std::vector<std::string>& otherPaths = same ? firstPaths : secondPaths;
                    EXPECT_EQ(MarkedPaths(lists[0]), firstPaths) << what;
                    EXPECT_EQ(MarkedPaths(lists[1]), otherPaths) << what;
                    ASSERT_EQ(results.size(), 2u) << what;
                    EXPECT_EQ(static_cast<size_t>(results[0].added), firstPaths.size()) << what;
                    EXPECT_EQ(static_cast<size_t>(results[1].added), otherPaths.size()) << what;
                    // The same tree twice: its files were read while listed.
                    if (listing == Listing::PairedAndRead && same) {
                        EXPECT_GT(bytes.load(), 0u) << what;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace ravelmoor
