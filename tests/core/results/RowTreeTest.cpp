#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/engine/FileList.h"
#include "core/results/RowNarrowing.h"
#include "core/results/RowTree.h"
#include "core/results/TreeRows.h"

namespace ravelmoor::test {
namespace {

constexpr uint32_t kNone = RowTree::kNoRow;

// Paired lists from rows written "path" (a folder ends with '/'), present on
// both sides, or "S:path" / "T:path" on one side only; each folder's text is
// kept once for its entries, as a scan keeps it.
struct PairedLists {
    explicit PairedLists(const std::vector<std::string>& rows) {
        std::map<std::string, std::pair<const char*, const char*>> folders;
        for (std::string row : rows) {
            bool inSource = true;
            bool inTarget = true;
            if (row.starts_with("S:") || row.starts_with("T:")) {
                inSource = row[0] == 'S';
                inTarget = row[0] == 'T';
                row = row.substr(2);
            }
            const bool folder = row.ends_with('/');
            if (folder) row.pop_back();
            const size_t slash = row.rfind('/');
            const std::string holder = slash == std::string::npos ? "" : row.substr(0, slash + 1);
            const std::string name = row.substr(holder.size());
            auto [at, fresh] = folders.try_emplace(holder);
            if (fresh) at->second = {source.AddFolder(holder), target.AddFolder(holder)};
            const uint32_t attributes = folder ? kFolderAttribute : 0;
            if (inSource) {
                source.AddListed(at->second.first, name, attributes, 1, 0);
            } else {
                source.AddBlank();
            }
            if (inTarget) {
                target.AddListed(at->second.second, name, attributes, 1, 0);
            } else {
                target.AddBlank();
            }
        }
    }
    FileList source;
    FileList target;
};

// The parent of each row by a plain search: the nearest earlier folder row
// whose path, in lower case, is a leading part of the row's.
std::vector<uint32_t> ReferenceParents(const std::vector<std::string>& rows) {
    auto plain = [](std::string row) {
        if (row.starts_with("S:") || row.starts_with("T:")) row = row.substr(2);
        if (row.ends_with('/')) row.pop_back();
        for (char& c : row)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return row;
    };
    std::vector<uint32_t> parents;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string path = plain(rows[i]);
        uint32_t parent = kNone;
        size_t longest = 0;
        for (size_t j = 0; j < i; ++j) {
            const std::string folder = plain(rows[j]);
            if (rows[j].ends_with('/') && path.starts_with(folder + "/") &&
                folder.size() >= longest) {
                parent = static_cast<uint32_t>(j);
                longest = folder.size();
            }
        }
        parents.push_back(parent);
    }
    return parents;
}

TEST(RowTree, ParentsAndDepths_AgreeWithAPlainSearch) {
    const std::vector<std::vector<std::string>> cases = {
        {"a.txt", "e.txt", "docs/", "docs/x.txt", "docs/sub/", "docs/sub/y.txt", "docs/z/",
         "docs/z/w.txt", "more/"},
        // Two sides that spell the folder differently, a row on one side only.
        {"S:Docs/", "T:docs/new.txt", "docs/old.txt", "zz.txt"},
        // A folder with no row of its own hangs its rows from the folder above.
        {"top/", "top/deep/far/f.txt", "top/g.txt"},
        // Sibling folders with no content in between.
        {"a/", "b/", "b/c/", "d/", "d/x"},
    };
    for (const auto& rows : cases) {
        SCOPED_TRACE(rows.front());
        const PairedLists lists(rows);
        RowTree tree;
        tree.Build(lists.source, lists.target);
        const std::vector<uint32_t> expected = ReferenceParents(rows);
        ASSERT_EQ(tree.size(), rows.size());
        for (uint32_t row = 0; row < rows.size(); ++row) {
            EXPECT_EQ(tree.Parent(row), expected[row]) << rows[row];
            const uint32_t depth = expected[row] == kNone ? 0 : tree.Depth(expected[row]) + 1;
            EXPECT_EQ(tree.Depth(row), depth) << rows[row];
        }
    }
}

TEST(TreeRows, ClosedFoldersAndTheView_ChooseTheRowsAndTheirCounts) {
    //                                     0        1       2         3
    const std::vector<std::string> rows = {"a.txt", "docs/", "docs/x", "docs/sub/",
                                           //  4              5       6
                                           "docs/sub/y", "docs/sub/z", "e/"};
    const PairedLists lists(rows);
    RowTree tree;
    tree.Build(lists.source, lists.target);
    struct Case {
        const char* name;
        std::vector<uint32_t> passing;
        std::vector<uint32_t> closed;
        std::vector<uint32_t> shown;
        uint32_t inDocs;
    };
    const Case cases[] = {
        {"all open", {0, 1, 2, 3, 4, 5, 6}, {}, {0, 1, 2, 3, 4, 5, 6}, 4},
        {"sub closed", {0, 1, 2, 3, 4, 5, 6}, {3}, {0, 1, 2, 3, 6}, 4},
        {"docs closed", {0, 1, 2, 3, 4, 5, 6}, {1}, {0, 1, 6}, 4},
        // Folders that do not pass are shown above rows that do.
        {"one deep row", {5}, {}, {1, 3, 5}, 1},
        {"its folder closed", {5}, {3}, {1, 3}, 1},
        {"nothing", {}, {}, {}, 0},
    };
    for (const Case& c : cases) {
        TreeRows treeRows;
        treeRows.Reset(rows.size());
        for (const uint32_t row : c.closed)
            treeRows.SetClosed(row, true);
        std::vector<uint32_t> shown;
        treeRows.Compute(tree, c.passing, shown);
        EXPECT_EQ(shown, c.shown) << c.name;
        EXPECT_EQ(treeRows.BelowCount(1), c.inDocs) << c.name;
    }
}

TEST(NarrowRows, TextAndFolder_KeepTheRowsThatHoldThem) {
    const std::vector<std::string> rows = {"Read.ME",      "docs/",          "docs/x.TXT",
                                           "docs/sub/",    "docs/sub/y.txt", "T:other/",
                                           "T:other/x.txt"};
    const PairedLists lists(rows);
    RowTree tree;
    tree.Build(lists.source, lists.target);
    struct Case {
        std::string text;
        uint32_t folder;
        std::vector<uint32_t> kept;
    };
    const Case cases[] = {
        {"x.txt", kNone, {2, 6}},            // any case, either side's path
        {"SUB", kNone, {3, 4}},              // in the folder part too
        {"sub/y", kNone, {4}},               // across levels
        {"docs/s", kNone, {3, 4}},           //
        {"", 1, {1, 2, 3, 4}},               // the folder and what it holds
        {"x.t", 1, {2}},                     // both at once
        {"", 3, {3, 4}},                     //
        {"nowhere", kNone, {}},              //
        {"", kNone, {0, 1, 2, 3, 4, 5, 6}},  // nothing narrows
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> kept = {0, 1, 2, 3, 4, 5, 6};
        NarrowRows(lists.source, lists.target, tree, {c.text, c.folder}, kept);
        EXPECT_EQ(kept, c.kept) << c.text << " " << c.folder;
    }
}

}  // namespace
}  // namespace ravelmoor::test
