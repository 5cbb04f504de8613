#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/engine/ScanFolder.h"
#include "core/engine/TreeScan.h"
#include "core/local/LocalFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

std::vector<std::string> Paths(const FileList& list) {
    std::vector<std::string> out;
    for (size_t i = 0; i < list.GetSize(); ++i)
        out.push_back(list.ElementAt(i).path.str());
    std::sort(out.begin(), out.end());
    return out;
}

class ScanFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tree.Write("a.txt", "a");
        tree.Write("B.TXT", "bb");
        tree.Write("Sub/c.txt", "ccc");
    }
    test::TempTree tree;
    LocalFileSystem fs;
};

TEST_F(ScanFolderTest, ListsFilesAndFoldersWithSubFolders) {
    FileList list;
    std::atomic<int64_t> counter{0};
    ScanOptions options;
    options.includeSubFolders = options.recordFolders = true;
    options.counter = &counter;
    const ScanResult result = ScanFolder(fs, list, tree.Root(), options);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.added, 4);
    EXPECT_EQ(counter.load(), 4);
    EXPECT_EQ(Paths(list), (std::vector<std::string>{"B.TXT", "Sub", "Sub/c.txt", "a.txt"}));
}

TEST_F(ScanFolderTest, WithoutSubFoldersOnlyTheRootFiles) {
    FileList list;
    const ScanResult result = ScanFolder(fs, list, tree.Root(), ScanOptions());
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(Paths(list), (std::vector<std::string>{"B.TXT", "a.txt"}));
}

TEST_F(ScanFolderTest, LinksAreFilesAndSpecialFilesAreSkipped) {
    tree.Symlink("to-sub", "Sub");  // a link to a folder is not followed
    tree.Symlink("dangling", "nowhere");
    tree.Fifo("pipe");
    FileList list;
    ScanOptions options;
    options.includeSubFolders = options.recordFolders = true;
    ScanFolder(fs, list, tree.Root(), options);
    const auto paths = Paths(list);
    EXPECT_EQ(paths, (std::vector<std::string>{"B.TXT", "Sub", "Sub/c.txt", "a.txt", "dangling",
                                               "to-sub"}));
    for (size_t i = 0; i < list.GetSize(); ++i) {
        const FileEntry& e = list.ElementAt(i);
        if (e.path.Name() == "to-sub") {
            EXPECT_TRUE(e.IsSymlink());
            EXPECT_FALSE(e.IsFolder());
            EXPECT_EQ(e.size, 3u);  // the length of the link text "Sub"
        }
    }
}

TEST_F(ScanFolderTest, UnlistableFoldersAreRememberedWithoutEntries) {
    test::FaultyFileSystem faulty;
    faulty.FailListing("/Sub/", ListStatus::NotListable);
    FileList list;
    std::vector<std::string> unlistable;
    ScanOptions options;
    options.includeSubFolders = options.recordFolders = true;
    options.unlistable = &unlistable;
    const ScanResult result = ScanFolder(faulty, list, tree.Root(), options);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(Paths(list), (std::vector<std::string>{"B.TXT", "Sub", "a.txt"}));
    // Folders that could not be listed keep the key text's marker.
    EXPECT_EQ(unlistable, (std::vector<std::string>{"\xFF"
                                                    "Sub/"}));

    FileList missing;
    unlistable.clear();
    EXPECT_EQ(ScanFolder(fs, missing, tree.Root() + "nothing-here/", options).added, 0);
    EXPECT_EQ(unlistable, (std::vector<std::string>{""}));
}

TEST_F(ScanFolderTest, FailedSideStopsWithNotOk) {
    test::FaultyFileSystem faulty;
    faulty.FailListing("/Sub/", ListStatus::Failed);
    FileList list;
    ScanOptions options;
    options.includeSubFolders = options.recordFolders = true;
    EXPECT_FALSE(ScanFolder(faulty, list, tree.Root(), options).ok);
}

TEST(ScanFolderCancel, DeepScanStopsAndCountsWhatItAdded) {
    test::TempTree tree;
    std::string folder;
    for (int depth = 0; depth < 40; ++depth) {
        folder += "level" + std::to_string(depth) + "/";
        for (int f = 0; f < 5; ++f)
            tree.Write(folder + "f" + std::to_string(f), "x");
    }
    test::FaultyFileSystem slow;
    slow.SlowEntries(std::chrono::milliseconds(2));
    FileList list;
    std::atomic<int32_t> cancel{0};
    ScanOptions options;
    options.includeSubFolders = options.recordFolders = true;
    options.cancel = &cancel;
    std::thread canceller([&cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        cancel.store(1);
    });
    const ScanResult result = ScanFolder(slow, list, tree.Root(), options);
    canceller.join();
    EXPECT_EQ(static_cast<size_t>(result.added), list.GetSize());
    EXPECT_LT(list.GetSize(), 240u);
}

// A local disk that takes its time over every folder and sets the cancel
// word itself when it starts its Nth listing, so that a cancel lands while
// several threads are listing whatever the machine's load (a cancel on a
// timer once came after the whole tree on a busy machine).
class CancellingDisk : public LocalFileSystem {
  public:
    CancellingDisk(std::atomic<int32_t>& cancel, int cancelAt)
        : cancel_(cancel), cancelAt_(cancelAt) {}
    ListOutcome ListFolder(const std::string& folder, ListSink& sink) override {
        if (listed_.fetch_add(1) + 1 == cancelAt_) cancel_.store(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return LocalFileSystem::ListFolder(folder, sink);
    }

  private:
    std::atomic<int32_t>& cancel_;
    const int cancelAt_;
    std::atomic<int> listed_{0};
};

// However a listing on several threads ends (a cancel at any moment, the
// other side failing), Run returns, the lists hold what was counted, and no
// folder stays open.
TEST(TreeScanEnd, CancelOrFailureStopsEveryThread) {
    test::TempTree tree;
    for (int n = 0; n < 300; ++n)
        tree.Write("d" + std::to_string(n % 30) + "/e" + std::to_string(n % 7) + "/f", "x");
    test::FaultyFileSystem failing;
    failing.FailListing("/d17/", ListStatus::Failed);
    const auto openFolders = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    const auto before = openFolders();
    // The listing that cancels: -1 never (the failing side stops the scan).
    for (const int cancelAt : {-1, 1, 2, 10, 40}) {
        std::atomic<int32_t> cancel{0};
        CancellingDisk slow(cancel, cancelAt);
        std::atomic<int64_t> counted{0};
        ScanOptions options;
        options.includeSubFolders = options.recordFolders = true;
        options.cancel = &cancel;
        options.counter = &counted;
        FileList lists[2];
        TreeScan scan;
        scan.Add(slow, lists[0], tree.Root(), options, true);
        // Without a cancel, the failing side is what stops the scan.
        scan.Add(cancelAt < 0 ? static_cast<FileSystem&>(failing) : slow, lists[1], tree.Root(),
                 options, true);
        const std::vector<ScanResult> results = scan.Run(8);
        EXPECT_EQ(results[1].ok, cancelAt >= 0) << cancelAt;
        EXPECT_EQ(results[0].added + results[1].added, counted.load()) << cancelAt;
        EXPECT_EQ(static_cast<size_t>(results[0].added), lists[0].GetSize()) << cancelAt;
        EXPECT_LT(lists[0].GetSize() + lists[1].GetSize(), 2u * 330u) << cancelAt;
        EXPECT_EQ(openFolders(), before) << cancelAt;
    }
}

}  // namespace
}  // namespace ravelmoor
