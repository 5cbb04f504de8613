#include <gtest/gtest.h>

#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <map>
#include <string>

#include "core/launch/StartSync.h"
#include "core/twoway/TwoWaySession.h"
#include "gui/twoway/TwoWayPlanDialog.h"
#include "support/ComparisonHarness.h"
#include "support/RunProgram.h"
#include "support/ScriptedPrompter.h"
#include "support/TempTree.h"

namespace ravelmoor::test {
namespace {

using Files = std::map<std::string, std::string>;

Files Contents(const TempTree& tree) {
    Files files;
    for (const auto& item : std::filesystem::directory_iterator(tree.Path())) {
        const std::string name = item.path().filename().string();
        // A conflict copy's name holds the time: only its start is fixed.
        const std::string shown = name.starts_with("f.conflict-") ? "f.conflict-*" : name;
        files[shown] = tree.Read(name);
    }
    return files;
}

constexpr int64_t kLater = TempTree::kDefaultTime + 500;

struct SettleRow {
    const char* name;
    Settlement how;
    const char* mark;  // the conflict line's mark once settled
    Files source;      // both trees after the run
    Files target;
};

// The window's plan of a two-way sync: a conflict is listed with its facts,
// the "Conflicts" toggle shows it alone, and settling it from the menu
// decides what the run does with it.
TEST(TwoWayPlanDialog, ConflictsAreShownAndSettledBeforeTheRun) {
    const std::vector<SettleRow> rows = {
        {"keep Source",
         Settlement::KeepSource,
         "→",
         {{"f.txt", "from Source"}, {"n.txt", "new"}},
         {{"f.txt", "from Source"}, {"n.txt", "new"}}},
        {"keep Target",
         Settlement::KeepTarget,
         "←",
         {{"f.txt", "from Target"}, {"n.txt", "new"}},
         {{"f.txt", "from Target"}, {"n.txt", "new"}}},
        {"keep both",
         Settlement::KeepBoth,
         "⇉",
         {{"f.txt", "from Source"}, {"f.conflict-*", "from Target"}, {"n.txt", "new"}},
         {{"f.txt", "from Source"}, {"f.conflict-*", "from Target"}, {"n.txt", "new"}}},
        {"skip",
         Settlement::Left,
         "⚠",
         {{"f.txt", "from Source"}, {"n.txt", "new"}},
         {{"f.txt", "from Target"}, {"n.txt", "new"}}},
    };
    for (const SettleRow& row : rows) {
        SCOPED_TRACE(row.name);
        TempTree state;
        ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
        TempTree a;
        TempTree b;
        a.Write("f.txt", "base");
        b.Write("f.txt", "base");
        ASSERT_EQ(
            RunRavelmoor({"sync", "--method", "two-way", "--yes", a.Path(), b.Path()}).exitCode, 0);
        a.Write("f.txt", "from Source", kLater);
        b.Write("f.txt", "from Target", kLater + 60);
        a.Write("n.txt", "new");

        ScriptedPrompter prompter;
        ComparisonHarness comparison(prompter);
        comparison.Reset({});
        comparison.Start(a.Root(), b.Root(), true);
        comparison.Wait();
        auto session = std::make_shared<TwoWaySession>(comparison, TwoWayOptions{});
        ASSERT_TRUE(session->Open().Ok());
        SyncJob job;
        job.method = SyncMethod::TwoWay;
        ASSERT_TRUE(session->Plan(job.plan).Ok());
        {
            TwoWayPlanDialog dialog(comparison, *session, job.plan);
            QTreeWidget* list = dialog.List();
            ASSERT_EQ(list->topLevelItemCount(), 2);
            QTreeWidgetItem* conflict = list->topLevelItem(0);
            EXPECT_EQ(conflict->text(0), QStringLiteral("⚠"));
            EXPECT_EQ(conflict->text(1), QStringLiteral("f.txt"));
            EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("→"));
            const QString facts = dialog.Description()->text();
            EXPECT_TRUE(facts.contains(QStringLiteral("Last sync: 4 bytes")))
                << facts.toStdString();
            EXPECT_TRUE(facts.contains(QStringLiteral("Source: 11 bytes"))) << facts.toStdString();
            EXPECT_TRUE(facts.contains(QStringLiteral("Target: 11 bytes"))) << facts.toStdString();
            dialog.ConflictsToggle()->setChecked(true);
            ASSERT_EQ(list->topLevelItemCount(), 1);
            list->topLevelItem(0)->setSelected(true);
            dialog.SettleSelection(row.how);
            EXPECT_EQ(list->topLevelItem(0)->text(0), QString::fromUtf8(row.mark));
        }
        job.twoWay = session;
        // A loser kept under a conflict name is paired on the next pass.
        job.compareAgain = [&] {
            comparison.Start(a.Root(), b.Root(), true);
            comparison.Wait();
            return comparison.Phase() == ComparisonPhase::Completed;
        };
        const SyncStart start = StartSync(comparison, std::move(job), prompter);
        ASSERT_TRUE(start.outcome.Ok()) << start.outcome.reason;
        start.run->Run();
        EXPECT_EQ(start.run->End().conflictsLeft, row.how == Settlement::Left ? 1u : 0u);
        EXPECT_EQ(Contents(a), row.source);
        EXPECT_EQ(Contents(b), row.target);
    }
}

}  // namespace
}  // namespace ravelmoor::test
