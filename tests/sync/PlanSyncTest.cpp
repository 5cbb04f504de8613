#include <gtest/gtest.h>

#include "core/engine/FileList.h"
#include "core/sync/PlanSync.h"

namespace ravelmoor {
namespace {

// The decision table written out once more, by Source status, one character
// per method 1..6: T copy to Target, S copy to Source, D delete in Target.
struct StatusRow {
    EntryStatus source;
    EntryStatus target;
    const char* actions;
    const char* sourceRoles;  // G copied-from (green), R overwritten or deleted (red)
    const char* targetRoles;
};
constexpr StatusRow kTable[] = {
    {EntryStatus::Matched, EntryStatus::Matched, "......", "......", "......"},
    {EntryStatus::Newer, EntryStatus::Older, "T.TTTT", "G.GGGG", "R.RRRR"},
    {EntryStatus::Older, EntryStatus::Newer, "S....T", "R....G", "G....R"},
    {EntryStatus::Unmatched, EntryStatus::Missing, "TT.TTT", "GG.GGG", "......"},
    {EntryStatus::Missing, EntryStatus::Unmatched, "S...DD", "......", "G...RR"},
};

char RoleChar(EntryRole role) {
    return role == EntryRole::CopiedFrom             ? 'G'
           : role == EntryRole::OverwrittenOrDeleted ? 'R'
                                                     : '.';
}

// Two paired lists: every kind of row, then each again with one side excluded,
// which no method touches nor colours.
TEST(PlanSync, EachMethodFollowsTheDecisionTableAndSkipsExcludedRows) {
    FileList source;
    FileList target;
    for (const int excludedSide : {0, 1, 2}) {
        for (const auto& row : kTable) {
            FileEntry s;
            FileEntry t;
            s.path = std::string_view("/s/x");
            t.path = std::string_view("/t/x");
            s.status = row.source;
            t.status = row.target;
            s.excluded = excludedSide == 1;
            t.excluded = excludedSide == 2;
            source.Add(s);
            target.Add(t);
        }
    }
    for (int m = 1; m < kSyncMethodCount; ++m) {
        const auto method = static_cast<SyncMethod>(m);
        SyncPlan expected;
        for (uint32_t row = 0; row < source.GetSize(); ++row) {
            const StatusRow& kind = kTable[row % std::size(kTable)];
            const bool excluded = row >= std::size(kTable);
            const char action = excluded ? '.' : kind.actions[m - 1];
            if (action == 'T') expected.copyToTarget.push_back(row);
            if (action == 'S') expected.copyToSource.push_back(row);
            if (action == 'D') expected.deleteInTarget.push_back(row);
            const std::string roles = {
                RoleChar(PlannedRole(ListSide::Source, source, target, row, method)),
                RoleChar(PlannedRole(ListSide::Target, source, target, row, method))};
            const std::string expectedRoles =
                excluded ? ".." : std::string{kind.sourceRoles[m - 1], kind.targetRoles[m - 1]};
            EXPECT_EQ(roles, expectedRoles) << SyncMethodText(method) << " row " << row;
        }
        const SyncPlan plan = PlanSync(source, target, method);
        EXPECT_EQ(plan.copyToTarget, expected.copyToTarget) << SyncMethodText(method);
        EXPECT_EQ(plan.copyToSource, expected.copyToSource) << SyncMethodText(method);
        EXPECT_EQ(plan.deleteInTarget, expected.deleteInTarget) << SyncMethodText(method);
        EXPECT_EQ(PlanProblem(method, plan), "");
    }
    EXPECT_EQ(PlannedRole(ListSide::Source, source, target, 1, SyncMethod::None), EntryRole::None);
}

}  // namespace
}  // namespace ravelmoor
