// Copies are put in place in groups, each after one flush.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <memory>

#include "core/sync/FileOperation.h"
#include "support/FaultyFileSystem.h"
#include "support/SyncFixture.h"

namespace ravelmoor::test {
namespace {

// More copies than one group holds: the first group and a part of a second.
constexpr size_t kCopies = FileOperation::kGroupCopies + 6;

std::string NameOf(size_t i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%03zu.txt", i);
    return name;
}

// Spread over three folders.
std::string NestedNameOf(size_t i) {
    return "d" + std::to_string(i % 3) + "/" + NameOf(i);
}

size_t InfoFiles() {
    const std::filesystem::directory_iterator items(DataHome() + "/Trash/info");
    return static_cast<size_t>(std::distance(begin(items), end(items)));
}

// A failed flush fails exactly the objects of its group, each said with the
// reason; none of them is renamed into place, no temporary file is left, and
// the old version it would have replaced stays where it was, out of the
// trash. The other group goes in.
TEST_F(SyncTest, Update_FlushOfOneGroupFails_ExactlyThatGroupIsNotDone) {
    for (size_t i = 0; i < kCopies; ++i)
        source.Write(NameOf(i), "new " + NameOf(i), 2000);
    target.Write(NameOf(1), "old", 1000);            // replaced, in the failing group
    target.Write(NameOf(kCopies - 1), "old", 1000);  // replaced, in the second group
    auto faulty = std::make_shared<FaultyFileSystem>();
    faulty->FailFlush("/" + NameOf(3), EIO);
    comparer.SetLocalFileSystem(faulty);
    Compare();
    TreeState expected = Snapshot(target);
    const TreeState fresh = Snapshot(source);
    for (size_t i = FileOperation::kGroupCopies; i < kCopies; ++i)
        expected[NameOf(i)] = fresh.at(NameOf(i));

    const SyncTally tally = Run(SyncMethod::Update);

    EXPECT_EQ(Snapshot(target), expected);
    EXPECT_EQ(faulty->Groups(), (std::vector<size_t>{FileOperation::kGroupCopies, 6}));
    EXPECT_EQ(tally.filesCopied, 6u);
    EXPECT_EQ(tally.notDone, FileOperation::kGroupCopies);
    EXPECT_EQ(tally.replacedToTrash, 1u);
    EXPECT_EQ(TrashedByOrigin(),
              (TreeState{{target.Full(NameOf(kCopies - 1)), "old @1000.0 644"}}));
    std::vector<std::string> said;
    for (const auto& shown : prompter.Log()) {
        if (shown.kind == "okcancel") said.push_back(shown.text);
    }
    ASSERT_EQ(said.size(), FileOperation::kGroupCopies);
    EXPECT_EQ(said[1], "Can not copy \"" + source.Full(NameOf(1)) + "\" to \"" +
                           target.Full(NameOf(1)) + "\": Input/output error" + kGoOn);
}

// On a real tree: several groups, new files and replaced ones, end with every
// file as in Source, each old version in the trash with its info file and no
// other info file, and no temporary file anywhere.
TEST_F(SyncTest, Update_ManyGroups_EveryFileInPlaceAndNothingLeftBehind) {
    constexpr size_t kMany = FileOperation::kGroupCopies * 2 + 5;
    TreeState old;
    for (size_t i = 0; i < kMany; ++i) {
        source.Write(NestedNameOf(i), std::string(i * 97, 'x') + NestedNameOf(i),
                     2000 + static_cast<int64_t>(i));
        if (i % 4 == 0) target.Write(NestedNameOf(i), "old", 1000);
    }
    Compare();
    for (const auto& [path, state] : Snapshot(target)) {
        if (path.ends_with(".txt")) old[target.Full(path)] = state;
    }

    const SyncTally tally = Run(SyncMethod::Update);

    EXPECT_EQ(Snapshot(target), Snapshot(source));
    EXPECT_EQ(tally.filesCopied, kMany);
    EXPECT_EQ(tally.notDone, 0u);
    EXPECT_EQ(TrashedByOrigin(), old);
    EXPECT_EQ(InfoFiles(), old.size());
}

}  // namespace
}  // namespace ravelmoor::test
