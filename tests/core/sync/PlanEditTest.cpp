#include "core/sync/PlanEdit.h"

#include <string>
#include <vector>

#include "core/engine/FileList.h"
#include "support/SyncFixture.h"

namespace ravelmoor::test {
namespace {

using St = PlanStep;

// The plan of the ticked entries: each list ascending, a row in at most one
// list (the first ticked entry of a row holds it).
TEST(PlanOf, TickedEntriesMakeTheListsInRowOrder) {
    struct Case {
        const char* name;
        std::vector<PlanEntry> entries;
        std::vector<uint32_t> toTarget, toSource, deletions;
    };
    const std::vector<Case> cases = {
        {"as planned",
         {{3, St::CopyToTarget, true}, {7, St::CopyToTarget, true}, {5, St::DeleteInTarget, true}},
         {3, 7},
         {},
         {5}},
        {"unticked left out",
         {{3, St::CopyToTarget, false},
          {7, St::CopyToTarget, true},
          {5, St::DeleteInTarget, false}},
         {7},
         {},
         {}},
        {"a copy reversed lands in order",
         {{3, St::CopyToTarget, true},
          {9, St::CopyToTarget, true},
          {4, St::CopyToSource, true},
          {1, St::CopyToSource, true}},
         {3, 9},
         {1, 4},
         {}},
        {"a row twice: the first ticked one holds it",
         {{2, St::CopyToTarget, false}, {2, St::DeleteInTarget, true}, {2, St::CopyToSource, true}},
         {},
         {},
         {2}},
    };
    for (const Case& c : cases) {
        const SyncPlan plan = PlanOf(c.entries);
        EXPECT_EQ(plan.copyToTarget, c.toTarget) << c.name;
        EXPECT_EQ(plan.copyToSource, c.toSource) << c.name;
        EXPECT_EQ(plan.deleteInTarget, c.deletions) << c.name;
    }
    SyncPlan plan;
    plan.copyToTarget = {1, 4};
    plan.copyToSource = {2};
    plan.deleteInTarget = {3};
    EXPECT_EQ(PlanOf(EntriesOf(plan)).copyToTarget, plan.copyToTarget);
    EXPECT_EQ(PlanOf(EntriesOf(plan)).deleteInTarget, plan.deleteInTarget);
}

class PlanEditTest : public SyncTest {};

// Excluding a folder's row takes the rows below it along, whichever side
// spells them, and stops at the next row beside it; a copy that would come
// from nothing, or an excluded row, is not possible.
TEST_F(PlanEditTest, ExcludeRowTakesAFolderWithItsContent) {
    source.Write("Docs/a.txt", "a");
    source.Write("Docs/sub/b.txt", "b");
    target.Write("docs/c.txt", "c");
    source.Write("docs2.txt", "d");
    source.Write("z.txt", "z");
    Compare();
    FileList& s = comparer.SourceResults();
    FileList& t = comparer.TargetResults();
    EXPECT_TRUE(Possible(St::CopyToTarget, s, t, RowOf("docs2.txt")));
    EXPECT_FALSE(Possible(St::CopyToSource, s, t, RowOf("docs2.txt")));
    EXPECT_EQ(ExcludeRow(s, t, RowOf("Docs")), "Docs");
    std::vector<std::string> excluded;
    for (size_t row = 0; row < s.GetSize(); ++row) {
        if (s.ElementAt(row).excluded == 0) continue;
        EXPECT_NE(t.ElementAt(row).excluded, 0);
        excluded.push_back((s.ElementAt(row).IsBlank() ? t : s).ElementAt(row).path.str());
    }
    EXPECT_EQ(excluded, (std::vector<std::string>{"Docs", "Docs/a.txt", "docs/c.txt", "Docs/sub",
                                                  "Docs/sub/b.txt"}));
    EXPECT_FALSE(Possible(St::CopyToTarget, s, t, RowOf("Docs/a.txt")));
    EXPECT_EQ(ExcludeRow(s, t, RowOf("z.txt")), "z.txt");
    EXPECT_NE(s.ElementAt(RowOf("z.txt")).excluded, 0);
    EXPECT_EQ(s.ElementAt(RowOf("docs2.txt")).excluded, 0);
}

}  // namespace
}  // namespace ravelmoor::test
