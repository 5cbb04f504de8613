#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "core/local/BelowRoot.h"
#include "core/local/LocalFileSystem.h"
#include "support/SyncFixture.h"

namespace ravelmoor::test {
namespace {

// A link in one tree stands where the other tree has a real folder with files:
// copying those files must not write through the link, in either direction.
TEST_F(SyncTest, Align_LinkWhereTheOtherSideHasAFolder_NothingWrittenOutside) {
    TempTree outside;
    target.Symlink("x", outside.Path());
    source.Write("x/evil.txt", "e");
    source.Write("x/sub/deeper.txt", "d");
    source.Symlink("y", outside.Path());
    target.Write("y/back.txt", "b");
    Compare();
    const SyncTally tally = Run(SyncMethod::Align);

    EXPECT_TRUE(Snapshot(outside).empty());
    EXPECT_TRUE(Snapshot(target).at("x").starts_with("link " + outside.Path() + " "));
    EXPECT_EQ(Snapshot(source).count("y/back.txt"), 0u);
    EXPECT_EQ(tally.filesCopied, 0u);
    const auto texts = prompter.Texts();
    EXPECT_NE(
        std::find(texts.begin(), texts.end(),
                  "Can not make the folder \"" + target.Full("x") + "\": \"" + target.Full("x") +
                      "\" is a symbolic link or a file, not a folder" + kGoOn),
        texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        "Can not copy \"" + target.Full("y/back.txt") + "\" to \"" +
                            source.Full("y/back.txt") + "\": \"" + source.Full("y") +
                            "\" is a symbolic link or a file, not a folder" + kGoOn),
              texts.end());
    // Nothing was read through the links either: the rows are as they were.
    EXPECT_EQ(Rows(comparer), FreshRows());
}

// The file behind the link even looks like the one compared (size and time),
// so only the walk from the root stops the deletion.
TEST_F(SyncTest, Prune_FolderSwappedForALinkAfterTheComparison_NothingDeletedOutside) {
    TempTree outside;
    outside.Write("f.txt", "precious", 1000);
    source.MakeFolder("d");
    target.Write("d/f.txt", "mine-old", 1000);
    Compare();
    std::filesystem::remove_all(target.Full("d"));
    target.Symlink("d", outside.Path());
    Run(SyncMethod::UpdateAndPrune);

    EXPECT_EQ(outside.Read("f.txt"), "precious");
    EXPECT_TRUE(TrashedNames().empty());
    EXPECT_EQ(prompter.Texts().back(), "Can not access file: \"" + target.Full("d/f.txt") +
                                           "\": a symbolic link is on the way to it" + kGoOn);
    EXPECT_EQ(Rows(comparer), (std::vector<std::string>{"matched matched folder 0 d",
                                                        "missing unmatched file 0 d/f.txt"}));
}

// A copy killed midway left its temporary file: the next sync that writes
// into that folder removes it, and leaves one in a folder it does not write.
TEST_F(SyncTest, Update_LeftoverTemporaryFile_RemovedWhereTheSyncWrites) {
    const std::string leftover = ".ravelmoor-00000000000000aa.part";
    source.Write("a.txt", "new", 2000);
    target.Write("a.txt", "old", 1000);
    target.Write(leftover, "half");
    target.Write("other/" + leftover, "half");
    Compare();
    const TreeState sourceBefore = Snapshot(source);
    TreeState targetAfter = Snapshot(target);
    Run(SyncMethod::Update);
    targetAfter.erase(leftover);
    targetAfter["a.txt"] = sourceBefore.at("a.txt");
    EXPECT_EQ(Snapshot(target), targetAfter);
    EXPECT_EQ(Snapshot(source), sourceBefore);
}

// Folders made by a sync get the mode (setgid and sticky too) and the time
// of their original, set after their content was written.
TEST_F(SyncTest, Augment_NewFolders_KeepModeAndTime) {
    const std::pair<const char*, mode_t> folders[] = {
        {"private", 0700}, {"private/shared", 02775}, {"drop", 01777}};
    for (const auto& [name, mode] : folders) {
        source.Write(std::string(name) + "/f.txt", "f", 1000);
        source.Chmod(name, mode);
    }
    for (const auto& [name, mode] : folders) {
        timespec times[2] = {{0, UTIME_OMIT}, {1500000000, 250}};
        ::utimensat(AT_FDCWD, source.Full(name).c_str(), times, 0);
    }
    Compare();
    Run(SyncMethod::Augment);
    TreeState made = FullSnapshot(target);
    TreeState from = FullSnapshot(source);
    made.erase(".");
    from.erase(".");
    EXPECT_EQ(made, from);
}

// A folder swapped for a link to an outside folder after the comparison,
// whose file there matches the compared one in size and time: nothing is
// read or written through the link, whichever side it is on.
struct Swap {
    const char* name;
    SyncMethod method;
    bool sourceSide;  // the link replaces a Source folder (else a Target one)
    bool walk;        // as on a kernel without openat2
};

void PrintTo(const Swap& swap, std::ostream* out) {
    *out << swap.name;
}

class SwappedForALink : public SyncTest, public ::testing::WithParamInterface<Swap> {};

TEST_P(SwappedForALink, NothingIsReadOrWrittenThroughIt) {
    const Swap& swap = GetParam();
    AllowOpenat2(!swap.walk);
    TempTree outside;
    outside.Write("f.txt", "secret", 1000);
    source.Write("sub/f.txt", "inside", 1000);
    if (!swap.sourceSide) target.Write("sub/f.txt", "tgt-fx", 500);
    Compare();
    TempTree& swapped = swap.sourceSide ? source : target;
    const TreeState otherBefore = Snapshot(swap.sourceSide ? target : source);
    std::filesystem::remove_all(swapped.Full("sub"));
    swapped.Symlink("sub", outside.Path());
    const SyncTally tally = Run(swap.method);
    AllowOpenat2(true);

    EXPECT_EQ(Snapshot(outside), (TreeState{{"f.txt", "secret @1000.0 644"}}));
    EXPECT_TRUE(TrashedNames().empty());
    EXPECT_GT(tally.notDone, 0u);
    for (const auto& [path, state] : Snapshot(target))
        EXPECT_FALSE(state.starts_with("secret")) << path;
    if (swap.sourceSide) {
        EXPECT_EQ(Snapshot(target), otherBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwappedForALink,
    ::testing::Values(
        Swap{"SourceFolderBeforeItsFilesAreCopied", SyncMethod::Augment, true, false},
        Swap{"SourceFolderBeforeATargetFileIsReplaced", SyncMethod::Update, true, false},
        Swap{"TargetFolderBeforeItsFileIsReplaced", SyncMethod::Update, false, false},
        Swap{"SourceFolderBeforeItsFilesAreCopiedNoOpenat2", SyncMethod::Augment, true, true},
        Swap{"TargetFolderBeforeItsFileIsReplacedNoOpenat2", SyncMethod::Update, false, true}),
    [](const ::testing::TestParamInfo<Swap>& swap) { return std::string(swap.param.name); });

// Names with "..", "." or empty levels never reach the disk, whatever asks.
TEST(BelowRoot, PathsThatLeaveTheRoot_AreRefused) {
    TempTree root;
    TempTree outside;
    root.Write("inside/file.txt", "i");
    outside.Write("victim.txt", "v");
    const std::string escape =
        "inside/../../" + outside.Path().substr(outside.Path().rfind('/') + 1);
    LocalFileSystem fs;
    const CopyControl replace{true, nullptr, {}};
    for (const std::string& bad : {escape + "/victim.txt", escape + "/new.txt", std::string("a//b"),
                                   std::string("./x"), std::string("")}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(fs.CopyIn(fs, root.Full("inside/file.txt"), root.Root(), bad, replace).status,
                  WriteStatus::Refused);
        EXPECT_EQ(fs.MakeFolder(root.Root(), bad + "/f").status, WriteStatus::Refused);
        EXPECT_EQ(fs.MoveToTrash(root.Root(), bad).status, WriteStatus::Refused);
        EXPECT_EQ(fs.DeletePermanently(root.Root(), bad).status, WriteStatus::Refused);
        EXPECT_EQ(fs.RemoveFolder(root.Root(), bad).status, WriteStatus::Refused);
    }
    EXPECT_EQ(Snapshot(outside).size(), 1u);
    EXPECT_EQ(outside.Read("victim.txt"), "v");
}

}  // namespace
}  // namespace ravelmoor::test
