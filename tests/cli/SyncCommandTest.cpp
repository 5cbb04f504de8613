#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "cli/CommandTest.h"

namespace ravelmoor {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using test::RunRavelmoor;

size_t Count(const test::TempTree& tree) {
    const std::filesystem::directory_iterator items(tree.Path());
    return static_cast<size_t>(std::distance(begin(items), end(items)));
}

class SyncCommandTest : public test::CommandTest {
  protected:
    void SetUp() override { WriteDifferingTrees(); }
};

TEST_F(SyncCommandTest, PreviewPrintsThePlanAndChangesNothing) {
    const auto result = RunOnTrees({"sync", "-rn", "--method", "update-prune", "--by", "crc"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out, "would copy SOURCE " + source.Full("only-here.txt") + " to TARGET \n" +
                              "would copy SOURCE " + source.Full("Docs/report.txt") +
                              " to OVERWRITE TARGET " + target.Full("docs/report.txt") + "\n" +
                              "would DELETE TARGET folder " + target.Full("gone") + "\n" +
                              "would DELETE TARGET " + target.Full("gone/old.txt") + "\n\n" +
                              "Total Files/Folders copied or deleted: 4\n");
    EXPECT_EQ(target.Read("docs/report.txt"), "old");
    EXPECT_FALSE(target.Exists("only-here.txt"));
    EXPECT_TRUE(target.Exists("gone/old.txt"));
}

TEST_F(SyncCommandTest, YesCarriesThePlanOutAndPrintsWhatStillDiffers) {
    target.Write("newer-in-target.txt", "t", 3000);
    source.Write("newer-in-target.txt", "s", 1000);
    const auto result = RunOnTrees({"sync", "-r", "--method", "update-prune", "--yes"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(target.Read("docs/report.txt"), "new");
    EXPECT_EQ(target.Time("docs/report.txt"), 2000);
    EXPECT_EQ(target.Read("only-here.txt"), "x");
    EXPECT_FALSE(target.Exists("gone"));
    EXPECT_EQ(target.Read("newer-in-target.txt"), "t");
    EXPECT_TRUE(home.Exists("data/Trash/files/old.txt"));
    EXPECT_EQ(home.Read("data/Trash/files/report.txt"), "old");
    EXPECT_THAT(result.out, HasSubstr("older      newer      newer-in-target.txt\n"));
    EXPECT_THAT(result.out,
                HasSubstr(": 2 files copied (4 bytes), 1 object moved to the trash, 1 replaced "
                          "file kept in the trash, 1 folder removed.\n"));
    EXPECT_THAT(result.out, Not(HasSubstr("only-here.txt")));

    const auto again = RunOnTrees({"sync", "-r", "--method", "update-prune", "--yes"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "No files or folders need to be copied or deleted.\n");
}

TEST_F(SyncCommandTest, VerboseItemisesEachActionAsItIsCarriedOut) {
    const auto result = RunOnTrees({"sync", "-rvy", "--method", "update-prune"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find("Source:")),
              ">f+++++++++ only-here.txt\n"
              ">f..t...... docs/report.txt\n"
              "*deleting   gone/old.txt\n"
              "*deleting   gone/\n");
}

TEST_F(SyncCommandTest, RefusesWithStatusTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"sync", source.Path(), target.Path()},
         "Please select sync method: --method align|augment|refresh|update|update-prune|force"},
        {{"sync", "--method", "update", source.Path(), target.Path()},
         "There is no terminal to confirm the synchronisation on: add --yes to carry it out "
         "without questions, or --dry-run to see what it would do."},
        {{"sync", "--method", "mirror", source.Path(), target.Path()},
         "Unknown sync method mirror: a sync method is align, augment, refresh, update, "
         "update-prune or force."},
        {{"sync", "--method", "crc", source.Path(), target.Path()},
         "Unknown sync method crc: a sync method is align, augment, refresh, update, "
         "update-prune or force. The comparison method is chosen with --by crc."},
        {{"sync", "--method", "force", "--yes", source.Path()},
         "Name the two folders to compare: SOURCE and TARGET."},
        {{"sync", "--method", "force", "--dryrun", source.Path(), target.Path()},
         "Unknown option --dryrun (did you mean --dry-run?); see ravelmoor sync --help."},
    };
    for (const auto& c : cases) {
        const auto result = RunRavelmoor(c.args, Environment());
        EXPECT_EQ(result.exitCode, 2) << c.message;
        EXPECT_EQ(result.err, "ravelmoor: " + c.message + "\n");
        EXPECT_EQ(result.out, "");
    }
    EXPECT_TRUE(target.Exists("gone/old.txt"));
}

// Guards before anything changes: a system folder or the home folder as the
// Target of a deleting method, and a plan that deletes most of Target, are
// refused under --yes (exit status 2) with both trees as they were;
// --allow-mass-delete lets the mass deletion through.
TEST_F(SyncCommandTest, GuardsRefuseBeforeAnythingChanges) {
    test::TempTree empty;
    test::TempTree full;
    for (int i = 0; i < 12; ++i)
        full.Write("f" + std::to_string(i) + ".txt", "x");
    const std::string massQuestion =
        "The synchronisation will delete 12 of 12 objects in Target \"" + full.Root() +
        "\". Do you want to go on?";
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
        size_t fullAfter;  // objects left in `full`
    };
    const std::string guarded =
        "\", which is the system's root, the home folder or a system folder: choose a folder "
        "below it.\n";
    const Case cases[] = {
        {{"sync", "--method", "update-prune", "--preview", empty.Path(), "/usr"},
         2,
         R"("Update and Prune Target" would delete or replace objects in "/usr/)" + guarded,
         12},
        {{"sync", "--method", "align", "--yes", full.Path(), home.Path()},
         2,
         R"("Align Source and Target" would delete or replace objects in ")" + home.Root() +
             guarded,
         12},
        {{"sync", "--method", "force", "--yes", empty.Path(), full.Path()},
         2,
         massQuestion + " No (add --allow-mass-delete to let it).\n",
         12},
        {{"sync", "--method", "force", "--yes", "--allow-mass-delete", empty.Path(), full.Path()},
         0,
         "",
         0},
    };
    for (const Case& c : cases) {
        const auto result = RunRavelmoor(c.args, Environment());
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[2] << result.out;
        EXPECT_EQ(result.err, c.err.empty() ? c.err : "ravelmoor: " + c.err);
        EXPECT_EQ(Count(empty), 0u);
        EXPECT_EQ(Count(full), c.fullAfter);
    }
}

}  // namespace
}  // namespace ravelmoor
