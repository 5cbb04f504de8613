#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/engine/CaseFold.h"
#include "core/engine/FileList.h"
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
TEST(ScanOrder, IsTheOrderOfOneSortOverWholePaths) {
    const std::vector<std::string> names = {
        "a",    "A",      "a.b",  "a-b", "ab", "b", "\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\xA9",
        "\xE9", "x\xFFy", "\xFF", "a b", "Z",  "_"};
    std::mt19937 random(11);
    for (int round = 0; round < 6; ++round) {
        test::TempTree tree;
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
        for (int n = 0; n < (round == 0 ? 3000 : 50); ++n)
            tree.Write(folders.back() + "w" + std::to_string(n * 7919 % 3001), "x");

        LocalFileSystem fs;
        FileList list;
        ScanOptions options;
        options.includeSubFolders = options.recordFolders = true;
        ASSERT_TRUE(ScanFolder(fs, list, tree.Root(), options).ok);
        std::vector<std::string> scanned;
        for (size_t i = 0; i < list.GetSize(); ++i)
            scanned.push_back(MarkedPath(list.ElementAt(i)));
        std::vector<std::string> sorted = scanned;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const std::string& a, const std::string& b) {
                             return CompareKeys(FoldCase(a), FoldCase(b)) < 0;
                         });
        EXPECT_EQ(scanned, sorted) << "round " << round;

        // Listed as the two sides of a comparison by several threads, each
        // list comes out as the one thread made it.
        for (const size_t threads : {2, 8}) {
            FileList lists[2];
            TreeScan scan;
            scan.Add(fs, lists[0], tree.Root(), options, true);
            scan.Add(fs, lists[1], tree.Root(), options, true);
            for (const ScanResult& result : scan.Run(threads))
                EXPECT_EQ(static_cast<size_t>(result.added), scanned.size());
            for (const FileList& other : lists) {
                std::vector<std::string> paths;
                for (size_t i = 0; i < other.GetSize(); ++i)
                    paths.push_back(MarkedPath(other.ElementAt(i)));
                EXPECT_EQ(paths, scanned) << "round " << round << ", " << threads << " threads";
            }
        }
    }
}

}  // namespace
}  // namespace ravelmoor
