#include "SyncFixture.h"

namespace ravelmoor::test {
namespace {

using Copies = std::vector<std::pair<std::string, std::string>>;  // from path -> to path

// Every status, folders on one side only and nested, a name spelled
// differently on the two sides, a symbolic link, a time with nanoseconds and
// a mode other than the default.
class SyncEndStateTest : public SyncTest {
  protected:
    void SetUp() override {
        SyncTest::SetUp();
        for (auto* tree : {&source, &target})
            tree->Write("same.txt", "same", 1000);
        source.Write("newer.txt", "src-new", 2000);
        source.SetTime("newer.txt", 2000, 123456789);
        target.Write("newer.txt", "tgt-old", 1000);
        source.Write("older.txt", "src-old", 1000);
        target.Write("older.txt", "tgt-new!", 2000);
        source.Write("only-src.txt", "s", 1500);
        source.Chmod("only-src.txt", 0640);
        target.Write("only-tgt.txt", "t", 1600);
        source.Write("Fresh/deep/f.txt", "f", 1700);
        target.Write("stale/h.txt", "h", 1900);
        target.Write("stale/inner/g.txt", "g", 1800);
        source.Write("Docs/Report.txt", "v2", 3000);
        source.Write("Docs/added.txt", "a", 3100);
        target.Write("docs/report.txt", "v1", 2500);
        source.Symlink("ln", "same.txt");
        source.SetTime("ln", 1234, 5);
    }
};

const Copies kAugment = {
    {"ln", "ln"},       {"only-src.txt", "only-src.txt"}, {"Docs/added.txt", "docs/added.txt"},
    {"Fresh", "Fresh"}, {"Fresh/deep", "Fresh/deep"},     {"Fresh/deep/f.txt", "Fresh/deep/f.txt"}};
const Copies kRefresh = {{"newer.txt", "newer.txt"}, {"Docs/Report.txt", "docs/report.txt"}};
const Copies kBack = {{"older.txt", "older.txt"},
                      {"only-tgt.txt", "only-tgt.txt"},
                      {"stale", "stale"},
                      {"stale/h.txt", "stale/h.txt"},
                      {"stale/inner", "stale/inner"},
                      {"stale/inner/g.txt", "stale/inner/g.txt"}};
const std::vector<std::string> kPruned = {"only-tgt.txt", "stale", "stale/h.txt", "stale/inner",
                                          "stale/inner/g.txt"};
const std::vector<std::string> kStaleRows = {
    "missing unmatched folder 0 stale", "missing unmatched file 0 stale/h.txt",
    "missing unmatched folder 0 stale/inner", "missing unmatched file 0 stale/inner/g.txt"};

Copies Join(std::initializer_list<Copies> parts) {
    Copies all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::string> Join(std::vector<std::string> first,
                              const std::vector<std::string>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

struct MethodCase {
    SyncMethod method;
    Copies toTarget;
    Copies toSource;
    bool prune;
    std::vector<std::string> differingAfter;
};

void PrintTo(const MethodCase& c, std::ostream* out) {
    *out << SyncMethodText(c.method);
}

const std::string kOlderRow = "older newer file 0 older.txt";
const std::string kOnlyTargetRow = "missing unmatched file 0 only-tgt.txt";

const MethodCase kCases[] = {
    {SyncMethod::Align, Join({kAugment, kRefresh}), kBack, false, {}},
    {SyncMethod::Augment,
     kAugment,
     {},
     false,
     Join({"newer older file 0 newer.txt", kOlderRow, kOnlyTargetRow,
           "newer older file 0 Docs/Report.txt"},
          kStaleRows)},
    {SyncMethod::Refresh,
     kRefresh,
     {},
     false,
     Join({"unmatched missing file 0 ln", kOlderRow, "unmatched missing file 0 only-src.txt",
           kOnlyTargetRow, "unmatched missing file 0 Docs/added.txt",
           "unmatched missing folder 0 Fresh", "unmatched missing folder 0 Fresh/deep",
           "unmatched missing file 0 Fresh/deep/f.txt"},
          kStaleRows)},
    {SyncMethod::Update,
     Join({kAugment, kRefresh}),
     {},
     false,
     Join({kOlderRow, kOnlyTargetRow}, kStaleRows)},
    {SyncMethod::UpdateAndPrune, Join({kAugment, kRefresh}), {}, true, {kOlderRow}},
    {SyncMethod::Force, Join({kAugment, kRefresh, {{"older.txt", "older.txt"}}}), {}, true, {}},
};

// The expected tree: the one before with the copies laid over it.
TreeState After(TreeState tree, const TreeState& from, const Copies& copies) {
    for (const auto& [fromPath, toPath] : copies)
        tree[toPath] = from.at(fromPath);
    return tree;
}

class SyncEndStateByMethod : public SyncEndStateTest,
                             public ::testing::WithParamInterface<MethodCase> {};

TEST_P(SyncEndStateByMethod, LeavesTheHandComputedTreesAndRows) {
    const MethodCase& c = GetParam();
    const TreeState sourceBefore = Snapshot(source);
    const TreeState targetBefore = Snapshot(target);
    TreeState sourceAfter = After(sourceBefore, targetBefore, c.toSource);
    TreeState targetAfter = After(targetBefore, sourceBefore, c.toTarget);
    if (c.prune) {
        for (const auto& path : kPruned)
            targetAfter.erase(path);
    }

    Compare();
    const SyncTally tally = Run(c.method);

    EXPECT_EQ(Snapshot(source), sourceAfter);
    EXPECT_EQ(Snapshot(target), targetAfter);
    EXPECT_EQ(tally.notDone, 0u);
    const std::set<std::string> trashed = {"only-tgt.txt", "h.txt", "g.txt"};
    EXPECT_EQ(TrashedNames(), c.prune ? trashed : std::set<std::string>());
    // The rows compared again are the rows of a new comparison...
    const auto rows = Rows(comparer);
    EXPECT_EQ(rows, FreshRows());
    // ...and only those the method leaves alone still differ.
    std::vector<std::string> differing;
    for (const auto& row : rows) {
        if (!row.starts_with("matched matched")) differing.push_back(row);
    }
    EXPECT_EQ(differing, c.differingAfter);
}

INSTANTIATE_TEST_SUITE_P(Methods, SyncEndStateByMethod, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MethodCase>& method) {
                             std::string name(SyncMethodText(method.param.method));
                             std::erase(name, ' ');
                             return name;
                         });

}  // namespace
}  // namespace ravelmoor::test
