#include <gtest/gtest.h>

#include <QFile>

#include "core/settings/SettingsFile.h"
#include "support/RunProgram.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;

class SettingsCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        source.Write("same.txt", "same");
        target.Write("same.txt", "same");
        source.Write("sub/new.txt", "1234", 2000);
        target.Write("sub/new.txt", "5678", 1000);
        source.Write("sub/keep.log", "x");
    }
    Settings Load(const std::string& file) {
        QFile in(QString::fromStdString(files.Full(file)));
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        Settings settings;
        EXPECT_TRUE(DeserializeSettings(in, settings));
        return settings;
    }

    test::TempTree source;
    test::TempTree target;
    test::TempTree files;
};

TEST_F(SettingsCommandTest, SavedSettingsLoadBackAndCompareTheSame) {
    const auto first =
        RunRavelmoor({"compare", "-r", "--method", "both", "--ignore-2s", "--chunk", "3",
                      "--exclude", "\\.log$", "--format", "tsv", "--save-settings",
                      files.Full("Run.zvs"), source.Path() + "/", target.Path()});
    EXPECT_EQ(first.exitCode, 1) << first.err;
    EXPECT_EQ(first.err, "ravelmoor: Settings saved to file: " + files.Full("Run.zvs") + "\n");

    Settings expected;
    expected.sourceFolder = source.Path();
    expected.targetFolder = target.Path();
    expected.includeSubFolders = true;
    expected.comparisonMethod = 2;
    expected.ignoreTwoSeconds = true;
    expected.crcChunk = 3;
    expected.filterRules = {{"Exclude", "\\.log$"}};
    EXPECT_EQ(Load("Run.zvs"), expected);

    const auto again =
        RunRavelmoor({"compare", "--settings", files.Full("Run.zvs"), "--format", "tsv"});
    EXPECT_EQ(again.exitCode, first.exitCode) << again.err;
    EXPECT_EQ(again.out, first.out);

    // Options after the file ask for the command line, so nothing is said about the desktop.
    const auto withOptions = RunRavelmoor({files.Full("Run.zvs"), "--format", "tsv"});
    EXPECT_EQ(withOptions.out, first.out);
    EXPECT_EQ(withOptions.err, "");
    const auto bare = RunRavelmoor({files.Full("Run.zvs")});
    EXPECT_EQ(bare.err,
              "ravelmoor: The desktop program is not available here; comparing the folders of " +
                  files.Full("Run.zvs") + " on the command line.\n");
}

TEST_F(SettingsCommandTest, OptionsAfterTheFileAndFoldersOverrideIt) {
    RunRavelmoor({"compare", "-r", "--ignore-60s", "--include", "a", "--save-settings",
                  files.Full("base.zvs"), source.Path(), target.Path()});
    RunRavelmoor({"compare", "--settings", files.Full("base.zvs"), "--method", "crc", "--exclude",
                  "b", "--save-settings", files.Full("changed.zvs"), target.Path(), source.Path()});
    Settings expected = Load("base.zvs");
    expected.comparisonMethod = 1;
    expected.filterRules.push_back({"Exclude", "b"});
    std::swap(expected.sourceFolder, expected.targetFolder);
    EXPECT_EQ(Load("changed.zvs"), expected);

    RunRavelmoor({"compare", "--method", "crc", "--exclude", "c", "--settings",
                  files.Full("base.zvs"), "--save-settings", files.Full("reloaded.zvs")});
    EXPECT_EQ(Load("reloaded.zvs"), Load("base.zvs"));
}

// A settings file with relative folders is run from elsewhere; saving it
// again from another folder keeps them relative, to the new file's folder.
TEST_F(SettingsCommandTest, RelativeFoldersTravelWithTheFile) {
    files.MakeFolder("pair/src");
    files.MakeFolder("pair/dst");
    Settings relative;
    relative.sourceFolder = "src";
    relative.targetFolder = "dst/";
    files.Write("pair/run.zvs", SerializeSettings(relative));
    files.MakeFolder("copies");

    // Read from elsewhere than the file's folder, they still name the pair.
    RunRavelmoor({"compare", "-q", "--settings", files.Full("pair/run.zvs"), "--save-settings",
                  files.Full("copies/run.zvs")});
    EXPECT_EQ(Load("copies/run.zvs").sourceFolder, "../pair/src");
    EXPECT_EQ(Load("copies/run.zvs").targetFolder, "../pair/dst");
    // Absolute folders stay absolute.
    RunRavelmoor({"compare", "-q", "--save-settings", files.Full("copies/abs.zvs"), source.Path(),
                  target.Path()});
    EXPECT_EQ(Load("copies/abs.zvs").sourceFolder, source.Path());
}

TEST_F(SettingsCommandTest, BadSettingsFilesAreRefusedWithStatusTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"compare", "--settings", files.Full("none.zvs")},
         "File not found: " + files.Full("none.zvs") + " (No such file or directory)"},
        {{"compare", "--settings", files.Path()},
         "Can not read file: " + files.Path() + " (Is a directory)"},
        {{"compare", "--settings", files.Full("bad.zvs")},
         "Invalid file: " + files.Full("bad.zvs") + " (not a settings file, or cut short)"},
        {{"compare", "--settings="}, "The option --settings needs a value."},
        {{"compare", "--save-settings", files.Full("no/such/x.zvs"), source.Path(), target.Path()},
         "Can not create file for writing: " + files.Full("no/such/x.zvs") +
             " (No such file or directory)"},
    };
    files.Write("bad.zvs", "Ravelmoor");
    for (const Case& c : cases) {
        const auto result = RunRavelmoor(c.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err, "ravelmoor: " + c.message + "\n");
        EXPECT_EQ(result.out, "");
    }
}

}  // namespace
}  // namespace ravelmoor
