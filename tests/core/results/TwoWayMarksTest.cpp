#include "core/results/TwoWayMarks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/SyncFixture.h"

namespace ravelmoor::test {
namespace {

using M = TwoWayMark;

// The marks a two-way plan puts on the rows of real compared trees: each
// kind of action on its own row, renames found by path on either side, a
// conflict outranking the action planned for its row, a conflict of names
// on both of its rows, and only conflict rows kept by KeepConflicts.
TEST_F(SyncTest, TwoWayMarks_EachActionOnItsRow_ConflictsOutrankAndAreFound) {
    source.Write("copied.txt", "s");
    target.Write("back.txt", "t");
    target.Write("gone-in-target.txt", "t");
    source.Write("gone-in-source.txt", "s");
    source.Write("new-name.txt", "r");
    target.Write("old-name.txt", "r");
    for (TempTree* tree : {&source, &target})
        tree->Write("both.txt", tree == &source ? "one" : "two");
    source.Write("apart-s.txt", "n");
    target.Write("apart-t.txt", "n");
    for (TempTree* tree : {&source, &target})
        tree->Write("quiet.txt", "q");
    Compare();

    SyncPlan plan;
    plan.copyToTarget = {RowOf("copied.txt"), RowOf("both.txt")};
    plan.copyToSource = {RowOf("back.txt")};
    plan.deleteInTarget = {RowOf("gone-in-target.txt")};
    plan.twoWay.deleteInSource = {RowOf("gone-in-source.txt")};
    plan.twoWay.renames = {{.onSource = false, .from = "old-name.txt", .to = "new-name.txt"},
                           // What only the memory follows leaves the lists unmarked.
                           {.onSource = true, .from = "quiet.txt", .to = "q", .memoryOnly = true}};
    TwoWayConflict both;
    both.row = RowOf("both.txt");
    both.settled = Settlement::KeepTarget;
    TwoWayConflict apart;
    apart.kind = ConflictKind::RenamedApart;
    apart.row = RowOf("apart-s.txt");
    apart.targetRow = RowOf("apart-t.txt");
    plan.twoWay.conflicts = {both, apart};

    TwoWayMarks marks;
    marks.Index(plan, comparer.SourceResults(), comparer.TargetResults());
    struct Case {
        const char* path;
        TwoWayMark mark;
        int conflict;  // -1: none
    };
    const Case cases[] = {
        {"copied.txt", M::ToTarget, -1},
        {"back.txt", M::ToSource, -1},
        {"gone-in-target.txt", M::DeleteInTarget, -1},
        {"gone-in-source.txt", M::DeleteInSource, -1},
        {"new-name.txt", M::Renamed, -1},
        {"old-name.txt", M::Renamed, -1},
        {"both.txt", M::KeepTarget, 0},
        {"apart-s.txt", M::Conflict, 1},
        {"apart-t.txt", M::Conflict, 1},
        {"quiet.txt", M::None, -1},
    };
    std::vector<uint32_t> rows;
    std::vector<uint32_t> conflictRows;
    for (const Case& c : cases) {
        const uint32_t row = RowOf(c.path);
        rows.push_back(row);
        if (c.conflict >= 0) conflictRows.push_back(row);
        EXPECT_EQ(marks.Of(row), c.mark) << c.path;
        EXPECT_EQ(marks.ConflictOf(row).value_or(size_t(-1)), size_t(c.conflict)) << c.path;
    }
    EXPECT_EQ(marks.Of(1000000), M::None);
    EXPECT_EQ(marks.ConflictCount(), 3U);
    marks.KeepConflicts(rows);
    EXPECT_EQ(rows, conflictRows);

    // Signs: a settled conflict shows the way its winner goes.
    EXPECT_EQ(TwoWayMarks::Sign(M::KeepTarget), TwoWayMarks::Sign(M::ToSource));
    EXPECT_EQ(TwoWayMarks::Sign(M::Conflict), "⚠");
    EXPECT_EQ(TwoWayMarks::Sign(M::None), "");
    marks.Clear();
    EXPECT_EQ(marks.Of(RowOf("copied.txt")), M::None);
}

}  // namespace
}  // namespace ravelmoor::test
