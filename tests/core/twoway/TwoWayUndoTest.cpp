#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "support/RunProgram.h"
#include "support/TempTree.h"

namespace ravelmoor::test {
namespace {

using Files = std::map<std::string, std::string>;

// The journals and the pair memories of one test, apart from every other's:
// `undo` takes back the last sync in the state folder.
struct State {
    TempTree folder;
    std::map<std::string, std::string> Environment() const {
        return {{"XDG_STATE_HOME", folder.Path()}};
    }
    ProgramResult Run(const std::vector<std::string>& args) const {
        return RunRavelmoor(args, Environment());
    }
    ProgramResult TwoWay(const TempTree& a, const TempTree& b,
                         std::vector<std::string> extra) const {
        std::vector<std::string> args = {"sync", "--method", "two-way", "-r"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(a.Path());
        args.push_back(b.Path());
        return Run(args);
    }
};

constexpr int64_t kLater = TempTree::kDefaultTime + 500;

struct UndoRow {
    const char* name;
    std::function<void(TempTree&, TempTree&)> change;  // after the first sync
    std::vector<std::string> options;                  // of the sync that is undone
};

// Undoing a two-way sync puts both trees back as they were before it and the
// pair's memory with them: the next run plans exactly what that sync did.
TEST(TwoWayUndo, PutsBothSidesAndTheMemoryBack) {
    const std::vector<UndoRow> rows = {
        {"edit in Source", [](TempTree& a, TempTree&) { a.Write("a.txt", "a2", kLater); }, {}},
        {"edit in Target", [](TempTree&, TempTree& b) { b.Write("d/x.txt", "x2", kLater); }, {}},
        {"deleted in Target",
         [](TempTree&, TempTree& b) { std::filesystem::remove(b.Full("a.txt")); },
         {}},
        {"new folder in Target", [](TempTree&, TempTree& b) { b.Write("n/new.txt", "n"); }, {}},
        {"file renamed in Source",
         [](TempTree& a, TempTree&) {
             std::filesystem::rename(a.Full("a.txt"), a.Full("renamed.txt"));
         },
         {}},
        {"folder renamed in Target",
         [](TempTree&, TempTree& b) { std::filesystem::rename(b.Full("d"), b.Full("e")); },
         {}},
        {"folder renamed in Source and a file in it edited",
         [](TempTree& a, TempTree&) {
             std::filesystem::rename(a.Full("d"), a.Full("e"));
             a.Write("e/y.txt", "y2", kLater);
         },
         {}},
        {"conflict kept on both sides",
         [](TempTree& a, TempTree& b) {
             a.Write("a.txt", "from Source", kLater);
             b.Write("a.txt", "from Target", kLater + 10);
         },
         {"--conflicts", "keep-both", "--prefer", "source"}},
    };
    for (const UndoRow& row : rows) {
        SCOPED_TRACE(row.name);
        const State state;
        TempTree a;
        TempTree b;
        for (TempTree* tree : {&a, &b}) {
            tree->Write("a.txt", "a");
            tree->Write("d/x.txt", "x");
            tree->Write("d/y.txt", "y");
        }
        ASSERT_EQ(state.TwoWay(a, b, {"--yes"}).exitCode, 0);
        row.change(a, b);
        const Files beforeA = a.Contents();
        const Files beforeB = b.Contents();
        std::vector<std::string> preview = row.options;
        preview.insert(preview.end(), {"-n", "--format", "json"});
        const ProgramResult planned = state.TwoWay(a, b, preview);
        ASSERT_EQ(planned.exitCode, 1) << planned.err;

        std::vector<std::string> sync = row.options;
        sync.push_back("--yes");
        const ProgramResult synced = state.TwoWay(a, b, sync);
        ASSERT_EQ(synced.exitCode, 0) << synced.out << synced.err;
        ASSERT_EQ(a.Contents(), b.Contents());

        const ProgramResult undone = state.Run({"undo", "--yes"});
        EXPECT_EQ(undone.exitCode, 0) << undone.out << undone.err;
        EXPECT_EQ(a.Contents(), beforeA);
        EXPECT_EQ(b.Contents(), beforeB);
        const ProgramResult again = state.TwoWay(a, b, preview);
        EXPECT_EQ(again.exitCode, 1) << again.err;
        // The conflict copy's name carries the time of the run.
        if (row.options.empty()) {
            EXPECT_EQ(again.out, planned.out);
        }
    }
}

// history names a two-way sync by its method and counts its renames.
TEST(TwoWayUndo, HistoryShowsTwoWayRunsAndTheirRenames) {
    const State state;
    TempTree a;
    TempTree b;
    for (TempTree* tree : {&a, &b})
        tree->Write("d/x.txt", "x");
    ASSERT_EQ(state.TwoWay(a, b, {"--yes"}).exitCode, 0);
    std::filesystem::rename(a.Full("d"), a.Full("e"));
    ASSERT_EQ(state.TwoWay(a, b, {"--yes"}).exitCode, 0);
    const ProgramResult history = state.Run({"history"});
    ASSERT_EQ(history.exitCode, 0) << history.err;
    EXPECT_NE(history.out.find("Synchronise Both Ways"), std::string::npos) << history.out;
    EXPECT_NE(history.out.find("1 renamed"), std::string::npos) << history.out;
}

}  // namespace
}  // namespace ravelmoor::test
