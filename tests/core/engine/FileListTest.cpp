#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/engine/FileList.h"
#include "core/local/LocalFileSystem.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

FileEntry Named(const std::string& path, uint64_t size = 0) {
    FileEntry entry;
    entry.path = path;
    entry.size = size;
    return entry;
}

TEST(FileList, CurrentNameComesBackWithoutMarkers) {
    FileList list;
    list.SetCurrentName(
        "/data/\xFF"
        "docs/\xFF"
        "x");
    EXPECT_EQ(list.GetCurrentName(), "/data/docs/x");
}

TEST(FileList, CopiesOutOfTheListOutliveIt) {
    FileEntry copy;
    {
        FileList list;
        list.Add(Named("/r/kept.txt", 7));
        copy = list.ElementAt(0);
        FileEntry moved = std::move(list.ElementAt(0));
        EXPECT_EQ(moved.path, "/r/kept.txt");
    }
    EXPECT_EQ(copy.path, "/r/kept.txt");
    EXPECT_EQ(copy.size, 7u);
}

TEST(FileList, RemoveRowsAcrossBlocksKeepsOrder) {
    FileList list;
    const size_t n = FileList::kGrowthStep * 2 + 17;
    for (size_t i = 0; i < n; ++i)
        list.Add(Named("/r/" + std::to_string(i), i));
    std::vector<uint32_t> rows;
    for (size_t i = 5; i < FileList::kGrowthStep + 8; ++i)
        rows.push_back(static_cast<uint32_t>(i));
    rows.push_back(static_cast<uint32_t>(n - 1));
    list.RemoveRows(rows);
    ASSERT_EQ(list.GetSize(), n - rows.size());
    EXPECT_EQ(list.ElementAt(4).path, "/r/4");
    EXPECT_EQ(list.ElementAt(5).path, "/r/" + std::to_string(FileList::kGrowthStep + 8));
    EXPECT_EQ(list.ElementAt(list.GetSize() - 1).path, "/r/" + std::to_string(n - 2));
    // A slot freed by the removal comes back clean.
    const size_t row = list.AddBlank();
    EXPECT_EQ(list.ElementAt(row), FileEntry());
}

// A list keeps a path as its folder's text and its name; an owned copy keeps
// it whole. Both must read back, compare and order as the whole text does.
TEST(FileList, PathsKeptAsFolderAndNameActAsTheWholeText) {
    const std::vector<std::string> paths = {"a",
                                            "ab/c",
                                            "a/bc",
                                            "a/b/c",
                                            "a/b/c2",
                                            "A/b/c",
                                            "docs/\xFF",
                                            "docs/x",
                                            "docs/",
                                            "d",
                                            "deep/" + std::string(300, 'n') + "/leaf"};
    FileList list;
    for (const auto& path : paths)
        list.Add(Named(path));
    for (size_t i = 0; i < paths.size(); ++i) {
        const EntryPath& kept = list.ElementAt(i).path;
        const EntryPath owned(paths[i]);
        EXPECT_EQ(kept.str(), paths[i]);
        EXPECT_EQ(std::string(kept.Folder()).append(kept.Name()), paths[i]);
        EXPECT_EQ(kept.Folder(), owned.Folder()) << paths[i];
        EXPECT_EQ(kept.size(), paths[i].size());
        for (size_t j = 0; j < paths.size(); ++j) {
            const int expected = paths[i].compare(paths[j]);
            const int sign = (expected > 0) - (expected < 0);
            EXPECT_EQ(kept.Compare(list.ElementAt(j).path), sign) << paths[i] << " " << paths[j];
            EXPECT_EQ(owned.Compare(list.ElementAt(j).path), sign) << paths[i] << " " << paths[j];
            EXPECT_EQ(kept == paths[j], i == j);
        }
    }
}

TEST(FileEntry, ReadFromPathOfNothingIsBlank) {
    LocalFileSystem fs;
    FileEntry entry = Named("/something", 3);
    entry.ReadFromPath(fs, "/nonexistent/", "path/here.txt");
    EXPECT_EQ(entry, FileEntry());
}

TEST(FileEntry, ReadFromPathKeepsSpellingAndLargeSizes) {
    test::TempTree tree;
    tree.Write("Docs/Report.TXT", "12345", 1500000000);
    LocalFileSystem fs;
    FileEntry entry;
    entry.ReadFromPath(fs, tree.Root(), "Docs/Report.TXT");
    EXPECT_EQ(entry.path, "Docs/Report.TXT");
    EXPECT_EQ(entry.size, 5u);
    EXPECT_EQ(entry.lastWrite, 1500000000);
    EXPECT_FALSE(entry.IsFolder());

    // A sparse file above 4 GiB keeps its full size.
    const std::string big = tree.Full("big.bin");
    FILE* f = std::fopen(big.c_str(), "w");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(::ftruncate(fileno(f), (int64_t{5} << 30) + 3), 0);
    std::fclose(f);
    entry.ReadFromPath(fs, tree.Root(), "big.bin");
    EXPECT_EQ(entry.size, (uint64_t{5} << 30) + 3);
}

}  // namespace
}  // namespace ravelmoor
