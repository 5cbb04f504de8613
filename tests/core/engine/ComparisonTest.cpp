#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "core/engine/CaseFold.h"
#include "core/local/LocalFileSystem.h"
#include "support/ComparisonHarness.h"
#include "support/FaultyFileSystem.h"
#include "support/ResultRows.h"
#include "support/ScriptedPrompter.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::Rows;

class ComparisonTest : public ::testing::Test {
  protected:
    int Run(bool subFolders = true, ComparisonMethod method = ComparisonMethod::SizeAndTimestamp,
            CompareJob settings = {}) {
        comparer.Reset(settings);
        comparer.SetMethod(method);
        comparer.Start(source.Root(), target.Root(), subFolders, {}, {});
        comparer.Wait();
        return static_cast<int>(comparer.Phase());
    }

    test::TempTree source;
    test::TempTree target;
    test::ScriptedPrompter prompter;
    test::ComparisonHarness comparer{prompter};
};

TEST_F(ComparisonTest, EqualTreesMatchEveryRow) {
    for (auto* tree : {&source, &target}) {
        tree->Write("a.txt", "a");
        tree->Write("sub/b.txt", "b");
    }
    EXPECT_EQ(Run(), 6);
    EXPECT_EQ(Rows(comparer), (std::vector<std::string>{"matched matched file 0 a.txt",
                                                        "matched matched folder 0 sub",
                                                        "matched matched file 0 sub/b.txt"}));
    EXPECT_TRUE(comparer.AllIdentical());
    EXPECT_TRUE(comparer.SourceScan().IsEmpty());
    EXPECT_TRUE(prompter.Log().empty());
}

TEST_F(ComparisonTest, ClassifiesEachKindOfPair) {
    source.Write("only-source.txt", "x");
    target.Write("only-target.txt", "y");
    source.Write("Case.TXT", "same");
    target.Write("case.txt", "same");
    source.Write("newer.txt", "1", 2000);
    target.Write("newer.txt", "1", 1000);
    source.Write("older.txt", "1", 1000);
    target.Write("older.txt", "1", 2000);
    source.Write("same-time.txt", "12", 1000);  // equal times, sizes differ: source newer
    target.Write("same-time.txt", "1", 1000);
    source.Write("thing", "file");  // a file and a folder of one name never pair
    target.Write("thing/inside", "x");
    source.MakeFolder("empty");
    target.MakeFolder("empty");
    EXPECT_EQ(Run(), 6);
    EXPECT_EQ(Rows(comparer), (std::vector<std::string>{
                                  "matched matched file 0 Case.TXT",
                                  "newer older file 0 newer.txt",
                                  "older newer file 0 older.txt",
                                  "unmatched missing file 0 only-source.txt",
                                  "missing unmatched file 0 only-target.txt",
                                  "newer older file 0 same-time.txt",
                                  "unmatched missing file 0 thing",
                                  "matched matched folder 0 empty",
                                  "missing unmatched folder 0 thing",
                                  "missing unmatched file 0 thing/inside",
                              }));
    EXPECT_FALSE(comparer.AllIdentical());
    // Each side keeps its own spelling.
    EXPECT_EQ(comparer.TargetResults().ElementAt(0).path, "case.txt");
}

TEST_F(ComparisonTest, MethodsDecideOnSameSizeAndTime) {
    source.Write("f", "abc", 5000);
    target.Write("f", "abd", 5000);
    EXPECT_EQ(Run(false, ComparisonMethod::SizeAndTimestamp), 6);
    EXPECT_EQ(Rows(comparer)[0], "matched matched file 0 f");
    EXPECT_EQ(Run(false, ComparisonMethod::Both), 6);
    EXPECT_EQ(Rows(comparer)[0], "newer older file 0 f");
    EXPECT_EQ(Run(false, ComparisonMethod::Crc), 6);
    EXPECT_EQ(Rows(comparer)[0], "newer older file 0 f");
    EXPECT_GT(comparer.BytesChecked(), 0u);

    target.Write("f", "abc", 1);  // same content, other time: CRC says equal
    EXPECT_EQ(Run(false, ComparisonMethod::Crc), 6);
    EXPECT_EQ(Rows(comparer)[0], "matched matched file 0 f");
    EXPECT_EQ(Run(false, ComparisonMethod::Both), 6);
    EXPECT_EQ(Rows(comparer)[0], "newer older file 0 f");
}

TEST_F(ComparisonTest, ChecksumsOfManyPairsLandOnTheirOwnRows) {
    // Enough pairs that both reading threads take part, of several blocks
    // (smaller ones are read while their folder is listed), a third of them
    // differing by one byte: in the first block, a middle one or last.
    std::vector<std::string> expected;
    for (int n = 0; n < 60; ++n) {
        const std::string name = "f" + std::to_string(100 + n);
        const std::string data(200000 + static_cast<size_t>(n), 'a');
        std::string changed = data;
        const size_t at[] = {7, 150000, data.size() - 1};
        if (n % 3 == 0) changed[at[n / 3 % 3]] = 'b';
        source.Write(name, data, 5000);
        target.Write(name, changed, 5000);
        expected.push_back((n % 3 == 0 ? "newer older file 0 " : "matched matched file 0 ") + name);
    }
    EXPECT_EQ(Run(false, ComparisonMethod::Both), 6);
    EXPECT_EQ(Rows(comparer), expected);
}

TEST_F(ComparisonTest, ToleranceSettingsReachTheRule) {
    source.Write("f", "abc", 5060);
    target.Write("f", "abc", 5000);
    CompareJob settings;
    EXPECT_EQ(Run(false, ComparisonMethod::SizeAndTimestamp, settings), 6);
    EXPECT_EQ(Rows(comparer)[0], "newer older file 0 f");
    settings.ignoreTwoSeconds = settings.ignoreSixtySeconds = true;  // 60 wins
    EXPECT_EQ(Run(false, ComparisonMethod::SizeAndTimestamp, settings), 6);
    EXPECT_EQ(Rows(comparer)[0], "matched matched file 0 f");
}

TEST_F(ComparisonTest, UnreadableFileIsExcludedAfterTheQuestion) {
    source.Write("locked.bin", "data");
    target.Write("locked.bin", "data");
    source.Write("z.txt", "1");
    target.Write("z.txt", "2");
    auto faulty = std::make_shared<test::FaultyFileSystem>();
    faulty->FailOpen("locked.bin");
    comparer.SetLocalFileSystem(faulty);
    prompter.Script({true});
    EXPECT_EQ(Run(false, ComparisonMethod::Crc), 6);
    EXPECT_EQ(Rows(comparer), (std::vector<std::string>{"matched matched file 1 locked.bin",
                                                        "newer older file 0 z.txt"}));
    ASSERT_EQ(prompter.Log().size(), 1u);
    EXPECT_EQ(prompter.Log()[0].kind, "okcancel");
    EXPECT_EQ(prompter.Log()[0].text,
              "Warning: some file data could not be read. The file may be currently in use by an "
              "other application. Press \"OK\" to continue and exclude this file from the "
              "comparison. Press \"CANCEL\" to stop the comparison.");

    prompter.Script({false});
    EXPECT_EQ(Run(false, ComparisonMethod::Crc), 4);
    EXPECT_TRUE(comparer.SourceScan().IsEmpty());
}

// Also when the walk, pairing while the listing goes on, keeps catching up
// with a slow listing: it learns of the folder before it pairs what lies below.
TEST_F(ComparisonTest, UnlistableFolderExcludesTheRowsBelowIt) {
    source.Write("keep.txt", "k");
    target.Write("keep.txt", "k");
    source.Write("Private/secret.txt", "s");
    target.Write("private/secret.txt", "s");
    target.Write("private/deep/other.txt", "o");
    source.Write("zz/last.txt", "z");
    target.Write("zz/last.txt", "z");
    for (const int delay : {0, 300}) {
        auto faulty = std::make_shared<test::FaultyFileSystem>();
        faulty->FailListing(source.Root() + "Private/", ListStatus::NotListable);
        faulty->SlowEntries(std::chrono::microseconds(delay));
        comparer.SetLocalFileSystem(faulty);
        EXPECT_EQ(Run(), 6);
        EXPECT_EQ(Rows(comparer), (std::vector<std::string>{
                                      "matched matched file 0 keep.txt",
                                      "matched matched folder 0 Private",
                                      "missing unmatched file 1 private/secret.txt",
                                      "missing unmatched folder 1 private/deep",
                                      "missing unmatched file 1 private/deep/other.txt",
                                      "matched matched folder 0 zz",
                                      "matched matched file 0 zz/last.txt",
                                  }))
            << delay;
        // What was not seen is not known to be identical.
        EXPECT_FALSE(comparer.Complete());
        EXPECT_FALSE(comparer.AllIdentical());
        EXPECT_EQ(comparer.UnlistableSourceFolders(), (std::vector<std::string>{"Private/"}));
        EXPECT_NE(comparer.UnlistableFoldersWarning().find(source.Root() + "Private/"),
                  std::string::npos);
        EXPECT_TRUE(prompter.Log().empty());  // no message box; the front end shows the warning
    }
}

// A side that fails, or a root that cannot be listed, is an error of the run:
// an empty side would pass for one whose files are all gone.
TEST_F(ComparisonTest, FailedSideOrUnlistableRootEndsWithoutResult) {
    source.Write("sub/a", "1");
    test::TempTree gone;
    const std::string goneRoot = gone.Root();
    std::filesystem::remove_all(gone.Path());
    struct Case {
        std::string sourceRoot, targetRoot, failing;
        ListStatus status;
        std::string message;
    };
    const Case cases[] = {
        {source.Root(), target.Root(), target.Root(), ListStatus::Failed,
         "Error: cannot read target file information"},
        {source.Root(), target.Root(), source.Root(), ListStatus::NotListable,
         "Error: cannot read source file information: the folder \"" + source.Root() +
             "\" can not be listed (it can not be listed)."},
        {source.Root(), goneRoot, "", ListStatus::Listed,
         "Error: cannot read target file information: the folder \"" + goneRoot +
             "\" can not be listed (No such file or directory)."},
    };
    for (const Case& c : cases) {
        test::ScriptedPrompter answers;
        test::ComparisonHarness runner(answers);
        if (!c.failing.empty()) {
            auto faulty = std::make_shared<test::FaultyFileSystem>();
            faulty->FailListing(c.failing, c.status);
            runner.SetLocalFileSystem(faulty);
        }
        runner.Reset({});
        runner.Start(c.sourceRoot, c.targetRoot, true, {}, {});
        runner.Wait();
        EXPECT_EQ(runner.Phase(), ComparisonPhase::EndedWithoutResult);
        EXPECT_EQ(answers.Texts(), (std::vector<std::string>{c.message}));
    }
}

// A copy's temporary file left by a broken run is never listed.
TEST_F(ComparisonTest, LeftoverTemporaryFilesAreNotListed) {
    source.Write("a.txt", "a");
    target.Write("a.txt", "a");
    target.Write("sub/.ravelmoor-0123456789abcdef.part", "half");
    target.Write("sub/.ravelmoor-0123456789abcdeg.part", "not ours");
    EXPECT_EQ(Run(), 6);
    EXPECT_EQ(Rows(comparer), (std::vector<std::string>{
                                  "matched matched file 0 a.txt",
                                  "missing unmatched folder 0 sub",
                                  "missing unmatched file 0 sub/.ravelmoor-0123456789abcdeg.part",
                              }));
    EXPECT_EQ(comparer.LeftoversOf(false),
              (std::vector<std::string>{"sub/.ravelmoor-0123456789abcdef.part"}));
}

TEST_F(ComparisonTest, EmptyFoldersCompleteIdentical) {
    EXPECT_EQ(Run(), 6);
    EXPECT_TRUE(comparer.SourceResults().IsEmpty());
    EXPECT_TRUE(comparer.AllIdentical());
}

TEST_F(ComparisonTest, SymbolicLinksAndFifosNeitherHangNorFollow) {
    source.Write("real/file.txt", "x");
    source.Symlink("link-to-real", "real");
    source.Fifo("pipe");
    target.Write("real/file.txt", "x");
    target.Fifo("pipe");
    EXPECT_EQ(Run(true, ComparisonMethod::Crc), 6);
    EXPECT_EQ(Rows(comparer), (std::vector<std::string>{
                                  "unmatched missing file 0 link-to-real",
                                  "matched matched folder 0 real",
                                  "matched matched file 0 real/file.txt",
                              }));
}

TEST_F(ComparisonTest, CancelDuringADeepScanEndsWithoutResult) {
    std::string folder;
    for (int depth = 0; depth < 30; ++depth) {
        folder += "d" + std::to_string(depth) + "/";
        for (int f = 0; f < 4; ++f)
            source.Write(folder + "f" + std::to_string(f), "x");
    }
    auto slow = std::make_shared<test::FaultyFileSystem>();
    slow->SlowEntries(std::chrono::milliseconds(3));
    comparer.SetLocalFileSystem(slow);
    comparer.Reset({});
    comparer.Start(source.Root(), target.Root(), true, {}, {});
    // Cancel once the scan has counted something: each entry takes 3 ms, so
    // the rest of the deep tree is still ahead however loaded the machine is.
    for (int i = 0; i < 10000 && comparer.SourceCount() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(comparer.Phase(), ComparisonPhase::CollectingSource);
    comparer.Cancel();
    comparer.Wait();
    EXPECT_EQ(comparer.Phase(), ComparisonPhase::EndedWithoutResult);
    EXPECT_TRUE(comparer.SourceScan().IsEmpty());
    EXPECT_TRUE(comparer.SourceResults().IsEmpty());
    EXPECT_GT(comparer.SourceCount(), 0);
}

size_t OpenDescriptors() {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                             std::filesystem::directory_iterator()));
}

// A cancel that lands while the readers work (or before, or after) ends the
// run either way without a hang, and leaves no file or folder open.
TEST_F(ComparisonTest, CancelWhileReadingPairsLeavesNothingOpen) {
    for (int n = 0; n < 400; ++n) {
        const std::string name = "d" + std::to_string(n % 7) + "/f" + std::to_string(n);
        source.Write(name, std::string(40000, 'a'), 5000);
        target.Write(name, std::string(40000, n % 5 == 0 ? 'b' : 'a'), 5000);
    }
    const size_t before = OpenDescriptors();
    for (const int delay : {0, 1, 3, 10, 30}) {
        comparer.Reset({});
        comparer.SetMethod(ComparisonMethod::Crc);
        comparer.Start(source.Root(), target.Root(), true, {}, {});
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        comparer.Cancel();
        comparer.Wait();
        const ComparisonPhase phase = comparer.Phase();
        EXPECT_TRUE(phase == ComparisonPhase::EndedWithoutResult ||
                    phase == ComparisonPhase::Completed)
            << delay;
        EXPECT_EQ(OpenDescriptors(), before) << delay;
    }
    EXPECT_TRUE(prompter.Log().empty());
}

TEST_F(ComparisonTest, SecondRunStartsFromAReset) {
    source.Write("a", "1");
    EXPECT_EQ(Run(), 6);
    EXPECT_FALSE(comparer.AllIdentical());
    source.Write("a", "1");
    target.Write("a", "1");
    EXPECT_EQ(Run(), 6);
    EXPECT_TRUE(comparer.AllIdentical());
    EXPECT_EQ(comparer.SourceResults().GetSize(), 1u);
}

// --- Pairing and classification against a plain reference ----------------

struct ModelEntry {
    bool folder;
    std::string content;
    int64_t time;
    std::string spelling;  // relative path as written on disk
};

// The reference key: folded components, a marker before every folder name,
// compared with '/' mapped below every other byte.
std::string ReferenceKey(const std::string& relative, bool folder) {
    std::string key;
    size_t start = 0;
    for (;;) {
        const size_t slash = relative.find('/', start);
        const bool last = slash == std::string::npos;
        if (!last || folder) key += '\xFF';
        std::string name;
        AppendScanName(name, relative.substr(start, last ? std::string::npos : slash - start));
        key += FoldCase(name);
        if (last) break;
        key += '\x01';
        start = slash + 1;
    }
    return key;
}

struct KeyLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
            });
    }
};

using Model = std::map<std::string, ModelEntry, KeyLess>;

void Build(std::mt19937& random, test::TempTree& tree, Model& model, const std::string& folder,
           int depth, int maxDepth) {
    static const std::vector<std::string> names = {"a",
                                                   "A",
                                                   "b",
                                                   "ab",
                                                   "a.b",
                                                   "a-b-" + std::string(60, 'l'),
                                                   "x y",
                                                   "\xC3\xA9t\xC3\xA9",
                                                   "\xC3\x89T\xC3\x89",
                                                   "n\xFF"
                                                   "1"};
    std::set<std::string> used;  // folded names already in this folder
    for (const std::string& name : names) {
        if (random() % 3 == 0 || !used.insert(FoldCase(name)).second) continue;
        const std::string relative =
            folder.empty() ? name : std::string(folder).append("/").append(name);
        const bool isFolder = depth < maxDepth && random() % 3 == 0;
        if (isFolder) {
            tree.MakeFolder(relative);
            model[ReferenceKey(relative, true)] = {true, "", 0, relative};
            Build(random, tree, model, relative, depth + 1, maxDepth);
        } else {
            // Equal sizes with different bytes, so that only a checksum tells them apart.
            const std::string content = std::string(random() % 3, 'z') + "ab"[random() % 2];
            const int64_t time = 1000 + static_cast<int64_t>(random() % 3);
            tree.Write(relative, content, time);
            model[ReferenceKey(relative, false)] = {false, content, time, relative};
        }
    }
}

// One folder with many entries on both sides, some missing or changed.
void BuildWide(test::TempTree& s, test::TempTree& t, Model& sourceModel, Model& targetModel,
               size_t count) {
    s.MakeFolder("wide");
    t.MakeFolder("wide");
    sourceModel[ReferenceKey("wide", true)] = {true, "", 0, "wide"};
    targetModel[ReferenceKey("wide", true)] = {true, "", 0, "wide"};
    for (size_t n = 0; n < count; ++n) {
        const std::string relative =
            "wide/" + std::string(n % 2 == 0 ? "F" : "f") + std::to_string(n);
        s.Write(relative, "ab", 1000);
        sourceModel[ReferenceKey(relative, false)] = {false, "ab", 1000, relative};
        if (n % 7 == 3) continue;
        const std::string content = n % 11 == 5 ? "ba" : "ab";
        t.Write(relative, content, 1000);
        targetModel[ReferenceKey(relative, false)] = {false, content, 1000, relative};
    }
}

std::vector<std::string> ExpectedRows(const Model& sourceModel, const Model& targetModel,
                                      ComparisonMethod method) {
    std::set<std::string, KeyLess> keys;
    for (const auto& [key, entry] : sourceModel)
        keys.insert(key);
    for (const auto& [key, entry] : targetModel)
        keys.insert(key);
    std::vector<std::string> expected;
    for (const std::string& key : keys) {
        const auto si = sourceModel.find(key);
        const auto ti = targetModel.find(key);
        std::string statuses;
        const ModelEntry& named = si != sourceModel.end() ? si->second : ti->second;
        if (si == sourceModel.end()) {
            statuses = "missing unmatched";
        } else if (ti == targetModel.end()) {
            statuses = "unmatched missing";
        } else {
            const ModelEntry& a = si->second;
            const ModelEntry& b = ti->second;
            const bool same = method == ComparisonMethod::Crc
                                  ? a.content == b.content
                                  : a.content.size() == b.content.size() && a.time == b.time;
            if (named.folder || same) {
                statuses = "matched matched";
            } else {
                statuses = a.time >= b.time ? "newer older" : "older newer";
            }
        }
        expected.push_back(statuses + " " + (named.folder ? "folder" : "file") + " 0 " +
                           named.spelling);
    }
    return expected;
}

// Random trees (shallow and bushy, or deep), and one folder of 50,000
// entries, by size and time and by content.
TEST_F(ComparisonTest, PairingAgreesWithAPlainMapOnRandomTrees) {
    for (unsigned seed = 0; seed <= 12; ++seed) {
        test::TempTree s;
        test::TempTree t;
        std::mt19937 random(seed);
        Model sourceModel;
        Model targetModel;
        if (seed == 0) {
            BuildWide(s, t, sourceModel, targetModel, 50000);
        } else {
            const int maxDepth = seed % 3 == 0 ? 7 : 3;
            Build(random, s, sourceModel, "", 0, maxDepth);
            Build(random, t, targetModel, "", 0, maxDepth);
        }
        for (const ComparisonMethod method :
             {ComparisonMethod::SizeAndTimestamp, ComparisonMethod::Crc}) {
            // A few trees also through a slow listing, so that the walk
            // keeps waiting for it.
            const std::vector<bool> slowness =
                seed % 4 == 1 ? std::vector<bool>{false, true} : std::vector<bool>{false};
            for (const bool slow : slowness) {
                auto faulty = std::make_shared<test::FaultyFileSystem>();
                faulty->SlowEntries(std::chrono::microseconds(100));
                if (slow) comparer.SetLocalFileSystem(faulty);
                comparer.Reset({});
                comparer.SetMethod(method);
                comparer.Start(s.Root(), t.Root(), true, {}, {});
                comparer.Wait();
                comparer.SetLocalFileSystem(std::make_shared<LocalFileSystem>());
                ASSERT_EQ(comparer.Phase(), ComparisonPhase::Completed);
                EXPECT_EQ(Rows(comparer), ExpectedRows(sourceModel, targetModel, method))
                    << "seed " << seed << " method " << static_cast<int>(method)
                    << (slow ? " slow" : "");
            }
        }
    }
}

}  // namespace
}  // namespace ravelmoor
