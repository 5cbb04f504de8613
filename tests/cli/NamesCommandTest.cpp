// Names that are not UTF-8 or differ only in case, through the command line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "cli/CommandTest.h"

namespace ravelmoor {
namespace {

using ::testing::HasSubstr;

using test::RunRavelmoor;

class NamesCommandTest : public test::CommandTest {};

// Bytes that are not UTF-8, tabs, line feeds and backslashes are escaped in
// what is printed and kept exactly on disk.
TEST_F(NamesCommandTest, ByteNamesArePrintedEscapedAndSynchronisedExactly) {
    source.Write("ab.txt", "wanted");
    target.Write("ab.txt", "wanted");
    target.Write(
        "a\xFF"
        "b.txt",
        "stray");
    source.Write("caf\xE9/tab\there", "new");
    source.Write("caf\xE9/line\nfeed", "n");
    source.Write("caf\xE9/back\\slash", "b");
    const auto compared = RunOnTrees({"compare", "-r", "--format", "tsv"});
    EXPECT_EQ(compared.exitCode, 1) << compared.err;
    EXPECT_EQ(compared.out,
              "missing\tunmatched\tfile\t0\ta\\xFFb.txt\n"
              "unmatched\tmissing\tfolder\t0\tcaf\\xE9\n"
              "unmatched\tmissing\tfile\t0\tcaf\\xE9/back\\\\slash\n"
              "unmatched\tmissing\tfile\t0\tcaf\\xE9/line\\nfeed\n"
              "unmatched\tmissing\tfile\t0\tcaf\\xE9/tab\\there\n");

    const auto synced = RunOnTrees({"sync", "-r", "--method", "update-prune", "--yes"});
    EXPECT_EQ(synced.exitCode, 0) << synced.err;
    EXPECT_EQ(target.Read("ab.txt"), "wanted");
    EXPECT_EQ(target.Read("caf\xE9/tab\there"), "new");
    EXPECT_EQ(target.Read("caf\xE9/line\nfeed") + target.Read("caf\xE9/back\\slash"), "nb");
    EXPECT_FALSE(
        target.Exists("a\xFF"
                      "b.txt"));
    EXPECT_EQ(home.Read("data/Trash/files/a\xFF"
                        "b.txt"),
              "stray");
}

TEST_F(NamesCommandTest, CaseTwinsInSourceLandOnTheirOwnNames) {
    source.Write("A.txt", "upper", 2000);
    source.Write("a.txt", "lower", 2000);
    target.Write("a.txt", "old", 1000);
    const auto synced = RunOnTrees({"sync", "-r", "--method", "update", "--yes"});
    EXPECT_EQ(synced.exitCode, 0) << synced.err;
    EXPECT_EQ(target.Read("A.txt"), "upper");
    EXPECT_EQ(target.Read("a.txt"), "lower");
}

TEST_F(NamesCommandTest, FolderBytesSurviveTheSettingsFile) {
    const std::string odd = source.Full("d\xFF");
    std::filesystem::create_directory(odd);
    source.Write("d\xFF/x.txt", "x");
    const std::string file = home.Full("s.zvs");
    // Through the shell: the test's process runner takes its arguments as UTF-8.
    const std::string save = "XDG_CONFIG_HOME='" + home.Full("config") + "' '" +
                             std::getenv("RAVELMOOR_BINARY") + "' compare --save-settings '" +
                             file + "' '" + odd + "' '" + target.Path() + "' >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(save.c_str())), 1);
    const auto loaded = RunRavelmoor({"compare", "--settings", file}, Environment());
    EXPECT_EQ(loaded.exitCode, 1) << loaded.err;
    EXPECT_THAT(loaded.out, HasSubstr("Source: " + source.Path() + "/d\\xFF/\n"));
    EXPECT_THAT(loaded.out, HasSubstr("unmatched  missing    x.txt\n"));
}

// A FAT image as the Target: names differing only in case are one name there.
// Needs a loop device and the vfat driver; skipped where either is missing.
TEST_F(NamesCommandTest, TwinsClashOnAFatTargetAndNeitherIsCopied) {
    const std::string image = home.Full("fat.img");
    const std::string make = "truncate -s 8M '" + image + "' && mkfs.vfat '" + image +
                             "' >/dev/null 2>&1 && mount -o loop '" + image + "' '" +
                             target.Path() + "' 2>/dev/null";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "cannot mount a FAT image here";
    source.Write("A.txt", "upper");
    source.Write("a.txt", "lower");
    source.Write("ok.txt", "ok");
    const auto synced = RunOnTrees({"sync", "-r", "--method", "update", "--yes"});
    const bool okCopied = target.Exists("ok.txt");
    const bool twinCopied = target.Exists("a.txt");
    ::umount2(target.Path().c_str(), MNT_DETACH);
    EXPECT_THAT(synced.err, HasSubstr("would be written over each other"));
    EXPECT_TRUE(okCopied);
    EXPECT_FALSE(twinCopied);
}

}  // namespace
}  // namespace ravelmoor
