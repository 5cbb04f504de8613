#include "support/SyncFixture.h"

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
        MakeEndStateTrees(source, target);
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
Copies Join(std::initializer_list<Copies> parts) {
    Copies all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct MethodCase {
    SyncMethod method;
    Copies toTarget;
    Copies toSource;
    bool prune;
};

void PrintTo(const MethodCase& c, std::ostream* out) {
    *out << SyncMethodText(c.method);
}

const MethodCase kCases[] = {
    {SyncMethod::Align, Join({kAugment, kRefresh}), kBack, false},
    {SyncMethod::Augment, kAugment, {}, false},
    {SyncMethod::Refresh, kRefresh, {}, false},
    {SyncMethod::Update, Join({kAugment, kRefresh}), {}, false},
    {SyncMethod::UpdateAndPrune, Join({kAugment, kRefresh}), {}, true},
    {SyncMethod::Force, Join({kAugment, kRefresh, {{"older.txt", "older.txt"}}}), {}, true},
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
    // Each replaced file and each pruned one is in the trash as it was,
    // under its original path.
    TreeState trashed;
    const auto replaced = [&trashed](const TempTree& tree, const TreeState& before,
                                     const Copies& copies) {
        for (const auto& [fromPath, toPath] : copies) {
            if (before.contains(toPath)) trashed[tree.Full(toPath)] = before.at(toPath);
        }
    };
    replaced(target, targetBefore, c.toTarget);
    replaced(source, sourceBefore, c.toSource);
    for (const auto& path : c.prune ? kPruned : std::vector<std::string>()) {
        if (targetBefore.at(path) != "folder") trashed[target.Full(path)] = targetBefore.at(path);
    }
    EXPECT_EQ(TrashedByOrigin(), trashed);
    // The rows compared again are the rows of a new comparison of the trees
    // checked above; after Align and Force nothing differs.
    const auto rows = Rows(comparer);
    EXPECT_EQ(rows, FreshRows());
    const bool mirrored = c.method == SyncMethod::Align || c.method == SyncMethod::Force;
    for (const auto& row : rows) {
        EXPECT_TRUE(!mirrored || row.starts_with("matched matched")) << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, SyncEndStateByMethod, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MethodCase>& method) {
                             std::string name(SyncMethodText(method.param.method));
                             std::erase(name, ' ');
                             return name;
                         });

}  // namespace
}  // namespace ravelmoor::test
