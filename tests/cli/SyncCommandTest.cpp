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

// A dry run reads as a plan in every format, names every object (a new
// folder too) and escapes names as the rest of the output does; nothing
// changes.
TEST_F(SyncCommandTest, DryRunPrintsThePlanAndChangesNothing) {
    // A name that once rewrote the screen: the dry run sent it raw.
    source.Write("esc\x1B[2J\nname.txt", "e", 1500);
    source.Write("new-folder/inner.txt", "i", 1500);
    const std::string summary =
        "Dry run: would copy 3 new files, make 1 folder, replace 1 file and move 2 objects to "
        "the trash (6 bytes to copy). Nothing was changed.";
    struct Case {
        std::vector<std::string> options;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {{"-rn"},
         "would copy esc\\x1B[2J\\nname.txt to Target\n"
         "would copy only-here.txt to Target\n"
         "would replace docs/report.txt in Target, keeping the old version in the trash\n"
         "would make folder new-folder/ in Target\n"
         "would copy new-folder/inner.txt to Target\n"
         "would move gone/old.txt in Target to the trash\n"
         "would move gone/ in Target to the trash\n" +
             summary + "\n",
         ""},
        {{"-rnv"},
         ">f+++++++++ esc\\x1B[2J\\nname.txt\n"
         ">f+++++++++ only-here.txt\n"
         ">f..t...... docs/report.txt\n"
         "cd+++++++++ new-folder/\n"
         ">f+++++++++ new-folder/inner.txt\n"
         "*deleting   gone/old.txt\n"
         "*deleting   gone/\n" +
             summary + "\n",
         ""},
        {{"-rn", "--format", "tsv"},
         "copy\ttarget\tfile\tplanned\tesc\\x1B[2J\\nname.txt\n"
         "copy\ttarget\tfile\tplanned\tonly-here.txt\n"
         "replace\ttarget\tfile\tplanned\tdocs/report.txt\n"
         "copy\ttarget\tfolder\tplanned\tnew-folder\n"
         "copy\ttarget\tfile\tplanned\tnew-folder/inner.txt\n"
         "delete\ttarget\tfile\tplanned\tgone/old.txt\n"
         "delete\ttarget\tfolder\tplanned\tgone\n",
         "ravelmoor: " + summary + "\n"},
        {{"-rnq"}, "", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"sync", "--method", "update-prune", "--by", "crc"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto result = RunOnTrees(args);
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(result.out, c.out) << c.options[0];
        EXPECT_EQ(result.err, c.err) << c.options[0];
    }
    EXPECT_EQ(target.Read("docs/report.txt"), "old");
    EXPECT_FALSE(target.Exists("only-here.txt"));
    EXPECT_FALSE(target.Exists("new-folder"));
    EXPECT_TRUE(target.Exists("gone/old.txt"));
}

// A sync prints what it did and its summary, never the comparison as it
// stands afterwards: "sync --yes" once printed "The two folders are
// identical" just before "Synchronised in", as if nothing had differed.
TEST_F(SyncCommandTest, YesCarriesThePlanOutAndPrintsWhatItDid) {
    target.Write("newer-in-target.txt", "t", 3000);
    source.Write("newer-in-target.txt", "s", 1000);
    struct Case {
        std::vector<std::string> options;
        std::string out;  // before the summary
    };
    const Case cases[] = {
        {{"-r"}, ""},
        {{"-rv"},
         ">f+++++++++ only-here.txt\n"
         ">f..t...... docs/report.txt\n"
         "*deleting   gone/old.txt\n"
         "*deleting   gone/\n"},
    };
    for (const Case& c : cases) {
        // Target as WriteDifferingTrees leaves it.
        test::TempTree copy;
        copy.Write("same.txt", "same");
        copy.Write("docs/report.txt", "old", 1000);
        copy.Write("gone/old.txt", "y");
        copy.Write("newer-in-target.txt", "t", 3000);
        std::vector<std::string> args = {"sync", "--method", "update-prune", "--yes"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {source.Path(), copy.Path()});
        const auto result = RunRavelmoor(args, Environment());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(copy.Read("docs/report.txt"), "new");
        EXPECT_EQ(copy.Time("docs/report.txt"), 2000);
        EXPECT_EQ(copy.Read("only-here.txt"), "x");
        EXPECT_FALSE(copy.Exists("gone"));
        EXPECT_EQ(copy.Read("newer-in-target.txt"), "t");
        const size_t summary = result.out.find("Synchronised in ");
        ASSERT_NE(summary, std::string::npos) << result.out;
        EXPECT_EQ(result.out.substr(0, summary), c.out);
        EXPECT_THAT(result.out.substr(summary),
                    HasSubstr(" seconds: 2 files copied (4 bytes), 1 object moved to the trash, "
                              "1 replaced file kept in the trash, 1 folder removed.\n"));
        EXPECT_THAT(result.out, Not(HasSubstr("identical")));
        EXPECT_THAT(result.out, Not(HasSubstr("newer-in-target.txt")));
    }
    EXPECT_TRUE(home.Exists("data/Trash/files/old.txt"));

    ASSERT_EQ(RunOnTrees({"sync", "-r", "--method", "update-prune", "--yes"}).exitCode, 0);
    const auto again = RunOnTrees({"sync", "-r", "--method", "update-prune", "--yes"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "No files or folders need to be copied or deleted.\n");
}

// --mkpath makes a missing Target, folders above it too, as rsync's does; a
// dry run makes nothing and says what it would; a sync refused once the
// folder was made takes it away again.
TEST_F(SyncCommandTest, MkpathMakesAMissingTarget) {
    test::TempTree parent;
    const std::string deep = parent.Full("backup/2026");
    struct Case {
        std::vector<std::string> options;
        int exitCode;
        std::string out;
        std::string err;
        bool made;
    };
    const Case cases[] = {
        {{"-n"},
         1,
         "Dry run: would make the Target folder " + deep +
             " and copy all of Source into it. Nothing was changed.\n",
         "",
         false},
        {{"--yes", "--exclude", "(abc"},
         2,
         "",
         "ravelmoor: This regular expression is not valid: (abc\n",
         false},
        {{"--yes"}, 0, "", "", true},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"sync", "-r", "--method", "update", "--mkpath"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {source.Path(), deep});
        const auto result = RunRavelmoor(args, Environment());
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(result.err, c.err);
        if (c.made) {
            EXPECT_EQ(result.out.substr(0, 16), "Synchronised in ");
        } else {
            EXPECT_EQ(result.out, c.out);
        }
        EXPECT_EQ(parent.Exists("backup"), c.made) << c.options[0];
    }
    EXPECT_EQ(parent.Read("backup/2026/Docs/report.txt"), "new");

    // A missing Target used to end the sync with no word of --mkpath.
    const auto missing =
        RunRavelmoor({"sync", "--method", "update", "--yes", source.Path(), deep + "x"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "ravelmoor: Target folder not found: " + deep +
                               "x (No such file or directory); add --mkpath to make it.\n");
}

TEST_F(SyncCommandTest, RefusesWithStatusTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        // Without a method there was no hint of what the methods do.
        {{"sync", source.Path(), target.Path()},
         "Please select sync method with --method:\n"
         "  align         copy new and newer files both ways\n"
         "  augment       copy to Target what only Source has\n"
         "  refresh       copy newer Source files over older\n"
         "  update        augment and refresh Target\n"
         "  update-prune  update; delete what only Target has\n"
         "  force         make Target a copy of Source\n"
         "  two-way       bring over what changed on either side"},
        {{"sync", "--method", "update", source.Path(), target.Path()},
         "There is no terminal to confirm the synchronisation on: add --yes to carry it out "
         "without questions, or --dry-run to see what it would do."},
        {{"sync", "--method", "mirror", source.Path(), target.Path()},
         "Unknown sync method mirror: a sync method is align, augment, refresh, update, "
         "update-prune, force or two-way."},
        {{"sync", "--method", "crc", source.Path(), target.Path()},
         "Unknown sync method crc: a sync method is align, augment, refresh, update, "
         "update-prune, force or two-way. The comparison method is chosen with --by crc."},
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
