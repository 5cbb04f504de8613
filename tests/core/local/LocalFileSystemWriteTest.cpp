#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

#include "core/local/LocalFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

std::vector<std::string> Names(const test::TempTree& tree) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::recursive_directory_iterator(tree.Path()))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// More than one piece of the kernel copy, through the kernel and through a
// buffer (a reader that is not a local file).
TEST(LocalFileSystemWrite, CopyIn_LargeFile_EveryByteModeAndTime) {
    std::string data(size_t{9} << 20, '\0');
    std::mt19937 random(7);
    for (auto& c : data)
        c = static_cast<char>(random());
    test::TempTree from;
    from.Write("big.bin", data);
    from.SetTime("big.bin", 1600000123, 987654321);
    from.Chmod("big.bin", 0751);
    LocalFileSystem local;
    test::FaultyFileSystem buffered;
    buffered.FailReadAfter("big.bin", int64_t{1} << 40);  // wraps the reader, never breaks

    for (FileSystem* reader :
         {static_cast<FileSystem*>(&local), static_cast<FileSystem*>(&buffered)}) {
        test::TempTree to;
        const WriteOutcome outcome =
            local.CopyIn(*reader, from.Full("big.bin"), to.Root(), "a/b/big.bin", {});
        EXPECT_EQ(outcome.status, WriteStatus::Done) << outcome.reason;
        EXPECT_EQ(outcome.bytes, data.size());
        EXPECT_TRUE(to.Read("a/b/big.bin") == data);
        EntryFacts facts;
        ASSERT_TRUE(local.ReadFacts(to.Full("a/b/big.bin"), facts));
        EXPECT_EQ(facts.lastWrite, 1600000123);
        EXPECT_EQ(facts.lastWriteNanoseconds, 987654321u);
        EXPECT_EQ(facts.mode, 0751u);
        EXPECT_EQ(Names(to), (std::vector<std::string>{"a", "b", "big.bin"}));
    }
}

TEST(LocalFileSystemWrite, CopyIn_ExistingOrCancelled_LeavesTheDestination) {
    test::TempTree tree;
    tree.Write("from.txt", "new");
    tree.Write("to.txt", "old", 1000);
    LocalFileSystem fs;
    EXPECT_EQ(fs.CopyIn(fs, tree.Full("from.txt"), tree.Root(), "to.txt", {}).status,
              WriteStatus::Exists);
    const std::atomic<int32_t> cancel{1};
    EXPECT_EQ(
        fs.CopyIn(fs, tree.Full("from.txt"), tree.Root(), "to.txt", {true, &cancel, {}}).status,
        WriteStatus::Cancelled);
    EXPECT_EQ(tree.Read("to.txt"), "old");
    EXPECT_EQ(tree.Time("to.txt"), 1000);
    EXPECT_EQ(Names(tree), (std::vector<std::string>{"from.txt", "to.txt"}));
    EXPECT_EQ(fs.MakeFolder(tree.Root(), "to.txt").status, WriteStatus::Refused);
}

// An original that changes while it is copied, or an old version that cannot
// be set aside, leaves the destination as it was and no temporary file.
TEST(LocalFileSystemWrite, CopyIn_OriginalChangedOrNotSetAside_DestinationKept) {
    struct Case {
        const char* name;
        std::function<void(test::TempTree&)> change;
        WriteStatus setAside;
        std::string reason;
    };
    const std::string changed = "it changed while it was copied";
    const Case cases[] = {
        {"shrinks", [](auto& t) { std::filesystem::resize_file(t.Full("from.txt"), 3); },
         WriteStatus::Done, changed},
        {"grows", [](auto& t) { t.Write("from.txt", "0123456789-and-more"); }, WriteStatus::Done,
         changed},
        {"rewritten", [](auto& t) { t.Write("from.txt", "9876543210", 2500); }, WriteStatus::Done,
         changed},
        {"old version kept nowhere", [](auto&) {}, WriteStatus::NoTrash, "no trash"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempTree tree;
        tree.Write("from.txt", "0123456789", 2000);
        tree.Write("to.txt", "old", 1000);
        test::FaultyFileSystem faulty;
        faulty.ChangeWhileReading("/from.txt", [&] { c.change(tree); });
        CopyControl control{true, nullptr, [&] { return WriteOutcome(c.setAside, "no trash"); }};
        LocalFileSystem fs;
        const WriteOutcome outcome =
            fs.CopyIn(faulty, tree.Full("from.txt"), tree.Root(), "to.txt", control);
        EXPECT_EQ(outcome.status,
                  c.setAside == WriteStatus::Done ? WriteStatus::Failed : c.setAside);
        EXPECT_EQ(outcome.reason, c.reason);
        EXPECT_EQ(tree.Read("to.txt"), "old");
        EXPECT_EQ(tree.Time("to.txt"), 1000);
        EXPECT_EQ(Names(tree), (std::vector<std::string>{"from.txt", "to.txt"}));
    }
}

}  // namespace
}  // namespace ravelmoor
