#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/RunProgram.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

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

class UndoCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        source.Write("a.txt", "source a", 2000);
        source.Write("sub/b.txt", "source b", 2000);
        target.Write("a.txt", "precious a", 1000);
        target.Write("mine/only.txt", "precious only", 1000);
        target.Write("mine/deep/more.txt", "more", 1000);
    }
    std::map<std::string, std::string> Environment() const {
        return {{"HOME", home.Path()},
                {"XDG_DATA_HOME", home.Full("data")},
                {"XDG_STATE_HOME", home.Full("state")}};
    }
    test::TempTree source;
    test::TempTree target;
    test::TempTree home;
};

// The pair given the wrong way round and forced: undo gives the Target back.
TEST_F(UndoCommandTest, ForcedSyncOnTheWrongPairIsUndoneExactly) {
    const auto before = Contents(target);
    const auto sync = RunRavelmoor({"sync", "-r", "--method", "force", "--yes",
                                    "--allow-mass-delete", source.Path(), target.Path()},
                                   Environment());
    ASSERT_EQ(sync.exitCode, 0) << sync.err;
    ASSERT_FALSE(target.Exists("mine/only.txt"));

    const auto history = RunRavelmoor({"history", "--format", "json"}, Environment());
    EXPECT_EQ(history.exitCode, 0) << history.err;
    EXPECT_NE(history.out.find(R"("method":"Force Target")"), std::string::npos) << history.out;
    EXPECT_NE(
        history.out.find(
            R"("counts":{"copy-new":1,"replace":1,"delete":2,"make-folder":1,"remove-folder":2})"),
        std::string::npos)
        << history.out;

    const auto dryRun = RunRavelmoor({"undo", "--dry-run"}, Environment());
    EXPECT_EQ(dryRun.exitCode, 1) << dryRun.err;
    EXPECT_NE(dryRun.out.find("bring back    target  " + target.Full("mine/only.txt")),
              std::string::npos)
        << dryRun.out;
    EXPECT_FALSE(target.Exists("mine/only.txt"));

    const auto noTerminal = RunRavelmoor({"undo"}, Environment());
    EXPECT_EQ(noTerminal.exitCode, 2);
    EXPECT_NE(noTerminal.err.find("add --yes"), std::string::npos) << noTerminal.err;

    const auto undo = RunRavelmoor({"undo", "--yes"}, Environment());
    EXPECT_EQ(undo.exitCode, 0) << undo.err;
    EXPECT_EQ(Contents(target), before);
    EXPECT_EQ(undo.err.find("left as it is"), std::string::npos) << undo.err;
    EXPECT_NE(undo.out.find("7 changes taken back."), std::string::npos) << undo.out;
}

TEST_F(UndoCommandTest, RefusesWithStatusTwo) {
    EXPECT_EQ(RunRavelmoor({"undo", "--yes"}, Environment()).exitCode, 2);
    EXPECT_EQ(RunRavelmoor({"undo", "--yes", "19990101-000000-000"}, Environment()).exitCode, 2);
    EXPECT_EQ(RunRavelmoor({"history", "--format", "tsv"}, Environment()).exitCode, 2);
}

}  // namespace
}  // namespace ravelmoor
