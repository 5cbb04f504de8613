#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/CommandTest.h"

namespace ravelmoor {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using test::RunRavelmoor;
namespace fs = std::filesystem;

// Every file below a tree with its content, time and mode.
std::map<std::string, std::string> Contents(const test::TempTree& tree) {
    std::map<std::string, std::string> state;
    for (const auto& item : fs::recursive_directory_iterator(tree.Path())) {
        const std::string relative = item.path().string().substr(tree.Path().size() + 1);
        std::string value = "folder";
        if (item.is_regular_file()) {
            value = tree.Read(relative) + " @" + std::to_string(tree.Time(relative)) + " " +
                    std::to_string(static_cast<int>(item.status().permissions()));
        }
        state[relative] = value;
    }
    return state;
}

class UndoCommandTest : public test::CommandTest {
  protected:
    void SetUp() override {
        source.Write("a.txt", "source a", 2000);
        source.Write("sub/b.txt", "source b", 2000);
        target.Write("a.txt", "precious a", 1000);
        target.Write("mine/only.txt", "precious only", 1000);
        target.Write("mine/deep/more.txt", "more", 1000);
    }
};

// The pair given the wrong way round and forced: undo gives the Target back.
TEST_F(UndoCommandTest, ForcedSyncOnTheWrongPairIsUndoneExactly) {
    const auto before = Contents(target);
    const auto sync =
        RunOnTrees({"sync", "-r", "--method", "force", "--yes", "--allow-mass-delete"});
    ASSERT_EQ(sync.exitCode, 0) << sync.err;
    ASSERT_FALSE(target.Exists("mine/only.txt"));

    const auto history = RunRavelmoor({"history", "--format", "json"}, Environment());
    EXPECT_EQ(history.exitCode, 0) << history.err;
    EXPECT_THAT(history.out, HasSubstr(R"("method":"Force Target")"));
    EXPECT_THAT(
        history.out,
        HasSubstr(
            R"("counts":{"copy-new":1,"replace":1,"delete":2,"make-folder":1,"remove-folder":2})"));

    const auto dryRun = RunRavelmoor({"undo", "--dry-run"}, Environment());
    EXPECT_EQ(dryRun.exitCode, 1) << dryRun.err;
    EXPECT_THAT(dryRun.out, HasSubstr("bring back    target  " + target.Full("mine/only.txt")));
    EXPECT_FALSE(target.Exists("mine/only.txt"));

    const auto noTerminal = RunRavelmoor({"undo"}, Environment());
    EXPECT_EQ(noTerminal.exitCode, 2);
    EXPECT_THAT(noTerminal.err, HasSubstr("add --yes"));

    const auto undo = RunRavelmoor({"undo", "--yes"}, Environment());
    EXPECT_EQ(undo.exitCode, 0) << undo.err;
    EXPECT_EQ(Contents(target), before);
    EXPECT_THAT(undo.err, Not(HasSubstr("left as it is")));
    EXPECT_THAT(undo.out, HasSubstr("7 changes taken back."));
}

// An undo that left a changed file alone: re-running plain undo went on to
// undo that undo, and the files it had put back showed as "changed since the
// synchronisation". Now a plain undo finishes the same undo; what is back
// already counts as done.
TEST_F(UndoCommandTest, PlainUndoAfterAPartialUndoFinishesIt) {
    const auto before = Contents(target);
    const auto sync =
        RunOnTrees({"sync", "-r", "--method", "force", "--yes", "--allow-mass-delete"});
    ASSERT_EQ(sync.exitCode, 0) << sync.err;
    target.Write("sub/b.txt", "edited after the sync", 3000);

    const auto partial = RunRavelmoor({"undo", "--yes"}, Environment());
    EXPECT_EQ(partial.exitCode, 1) << partial.err;
    EXPECT_THAT(partial.err, HasSubstr("sub/b.txt\" changed since the synchronisation"));

    const auto again = RunRavelmoor({"undo", "--yes"}, Environment());
    EXPECT_EQ(again.exitCode, 1) << again.err;
    EXPECT_THAT(again.err, HasSubstr("was left unfinished; this undo goes on with it."));
    EXPECT_THAT(again.out, HasSubstr("0 changes taken back, 5 already as before, 2 changes not"));

    const auto forced = RunRavelmoor({"undo", "--yes", "--force"}, Environment());
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(Contents(target), before);
}

TEST_F(UndoCommandTest, RefusesWithStatusTwo) {
    EXPECT_EQ(RunRavelmoor({"undo", "--yes"}, Environment()).exitCode, 2);
    EXPECT_EQ(RunRavelmoor({"undo", "--yes", "19990101-000000-000"}, Environment()).exitCode, 2);
    EXPECT_EQ(RunRavelmoor({"history", "--format", "tsv"}, Environment()).exitCode, 2);
}

}  // namespace
}  // namespace ravelmoor
