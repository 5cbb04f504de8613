#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "gui/results/ResultsFixture.h"
#include "gui/twoway/TwoWayPlanDialog.h"
#include "support/RunProgram.h"

namespace ravelmoor::test {
namespace {

// "Synchronise" with "Synchronise Both Ways" shows the plan against the
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
    QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
    EXPECT_EQ(lines, 2);  // the rename and the copy to Source
    EXPECT_EQ(source.Read("a.txt"), "a from Target");
    EXPECT_EQ(target.Read("e/x.txt"), "x");
    EXPECT_FALSE(target.Exists("d"));
    EXPECT_TRUE(window->UndoButton()->isEnabled());
    EXPECT_EQ(Rows(comparer), FreshRows());
}

}  // namespace
}  // namespace ravelmoor::test
