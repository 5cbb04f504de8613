#include <QAbstractItemModelTester>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>

#include "gui/results/ResultsFixture.h"
#include "gui/results/ResultsShaping.h"
#include "gui/twoway/TwoWayLists.h"
#include "gui/twoway/TwoWayPlanDialog.h"
#include "gui/widgets/VirtualReportView.h"
#include "support/RunProgram.h"

namespace ravelmoor::test {
namespace {

// "Preview" with "Synchronise Both Ways" shows the plan against the
// pair's memory and, accepted, carries it out through the one start: a
// folder renamed in Source is renamed in Target (its content paired again
// under the new name), an edit in Target reaches Source, and the lists show
// the folders as they now are.
TEST_F(ResultsTest, SynchroniseBothWays_RunsThePlanShownAndComparesAgainAfterARename) {
    TempTree state;
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    for (TempTree* tree : {&source, &target}) {
        tree->Write("a.txt", "a");
        tree->Write("d/x.txt", "x");
    }
    ASSERT_EQ(
        RunRavelmoor({"sync", "--method", "two-way", "-r", "--yes", source.Path(), target.Path()})
            .exitCode,
        0);
    std::filesystem::rename(source.Full("d"), source.Full("e"));
    target.Write("a.txt", "a from Target", TempTree::kDefaultTime + 600);
    settings.sourceFolder = source.Path();
    settings.targetFolder = target.Path();
    settings.includeSubFolders = true;
    Compare();
    Open();
    window->ChooseMethod(SyncMethod::TwoWay);
    int lines = 0;
    WhenShown<TwoWayPlanDialog>([&](TwoWayPlanDialog& dialog) {
        lines = dialog.List()->topLevelItemCount();
        dialog.SynchroniseButton()->click();
    });
    QTest::mouseClick(window->PreviewButton(), Qt::LeftButton);
    EXPECT_EQ(lines, 2);  // the rename and the copy to Source
    EXPECT_EQ(source.Read("a.txt"), "a from Target");
    EXPECT_EQ(target.Read("e/x.txt"), "x");
    EXPECT_FALSE(target.Exists("d"));
    EXPECT_TRUE(window->UndoButton()->isEnabled());
    EXPECT_EQ(Rows(comparer), FreshRows());
}

// The lists under "Synchronise Both Ways": the column between them marks
// each row (and follows the tree and the filter box), "Conflicts" leaves
// only the conflict, its current row shows its facts, the context menu
// settles it, and "Synchronise" runs the plan with that settlement.
TEST_F(ResultsTest, TwoWayLists_MarkEachRow_ConflictSettledFromTheMenuRuns) {
    TempTree state;
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    for (TempTree* tree : {&source, &target}) {
        tree->Write("a.txt", "a");
        tree->Write("c.txt", "c");
        tree->Write("d/x.txt", "x");
    }
    ASSERT_EQ(
        RunRavelmoor({"sync", "--method", "two-way", "-r", "--yes", source.Path(), target.Path()})
            .exitCode,
        0);
    target.Write("a.txt", "a from Target", TempTree::kDefaultTime + 600);
    source.Write("c.txt", "c from Source", TempTree::kDefaultTime + 600);
    target.Write("c.txt", "c from Target!", TempTree::kDefaultTime + 900);
    std::filesystem::remove(source.Full("d/x.txt"));
    source.Write("n.txt", "new");
    settings.sourceFolder = source.Path();
    settings.targetFolder = target.Path();
    settings.includeSubFolders = true;
    Compare();
    Open();
    window->ChooseMethod(SyncMethod::TwoWay);
    window->ChooseView(ViewChoice::All);
    TwoWayLists& twoWay = window->TwoWay();
    new QAbstractItemModelTester(twoWay.MarkList()->model(),
                                 QAbstractItemModelTester::FailureReportingMode::Fatal,
                                 window.get());
    ASSERT_TRUE(twoWay.MarkList()->isVisible());
    ASSERT_TRUE(twoWay.ConflictsToggle()->isVisible());
    // Each item as "PATH SIGN", the path from whichever list has the row.
    const auto marked = [this, &twoWay] {
        std::vector<std::string> items;
        const QAbstractItemModel& marks = *twoWay.MarkList()->model();
        EXPECT_EQ(marks.rowCount(), window->Model(ListSide::Source)->rowCount());
        for (int item = 0; item < marks.rowCount(); ++item) {
            QString name = window->Model(ListSide::Source)->index(item, 1).data().toString();
            if (name.isEmpty())
                name = window->Model(ListSide::Target)->index(item, 1).data().toString();
            items.push_back(name.toStdString() + " " +
                            marks.index(item, 0).data().toString().toStdString());
        }
        return items;
    };
    struct Step {
        const char* name;
        std::function<void()> act;
        std::vector<std::string> items;
    };
    const std::vector<Step> steps = {
        {"all rows", [] {}, {"a.txt ←", "c.txt ⚠", "n.txt →", "d ", "d/x.txt ✕"}},
        {"filter box", [this] { window->Shaping()->SetFilterText("x.txt"); }, {"d/x.txt ✕"}},
        {"tree",
         [this] {
             window->Shaping()->SetFilterText("");
             window->Shaping()->SetTreeMode(true);
         },
         {"a.txt ←", "c.txt ⚠", "n.txt →", "d (1) ", "x.txt ✕"}},
        {"conflicts only",
         [this, &twoWay] {
             window->Shaping()->SetTreeMode(false);
             twoWay.ConflictsToggle()->click();
         },
         {"c.txt ⚠"}},
        {"kept Source",
         [this] {
             Click(ListSide::Source, {0});
             WithContextMenu(ListSide::Source, [](QMenu& menu) { Pick(menu, "Keep Source"); });
         },
         {"c.txt →"}},
    };
    for (const Step& step : steps) {
        step.act();
        window->RefreshLists();
        EXPECT_EQ(marked(), step.items) << step.name;
    }
    Click(ListSide::Source, {0});
    const std::string facts = window->DescriptionLabel()->text().toStdString();
    EXPECT_EQ(facts.substr(0, facts.find('\n')),
              "Changed on both sides since the last synchronisation.");
    EXPECT_NE(facts.find("\nSource: 13 bytes, "), std::string::npos) << facts;
    EXPECT_NE(facts.find("\nTarget: 14 bytes, "), std::string::npos) << facts;

    prompter.Script({true});
    QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
    EXPECT_EQ(prompter.Texts().at(0), "Please confirm that you want to \"Synchronise Both Ways\"");
    EXPECT_EQ(target.Read("c.txt"), "c from Source");
    EXPECT_EQ(source.Read("a.txt"), "a from Target");
    EXPECT_EQ(target.Read("n.txt"), "new");
    EXPECT_FALSE(target.Exists("d/x.txt"));
    EXPECT_EQ(TrashedNames().count("c.txt"), 1U);
    // Nothing is left to do: no conflict, no mark.
    EXPECT_EQ(marked(), std::vector<std::string>{});
    twoWay.ConflictsToggle()->click();
    for (const std::string& item : marked())
        EXPECT_EQ(item.back(), ' ') << item;
    EXPECT_EQ(Rows(comparer), FreshRows());
}

}  // namespace
}  // namespace ravelmoor::test
