#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "gui/results/ResultsFixture.h"
#include "gui/results/ResultsShaping.h"
#include "gui/results/TreeNameDelegate.h"
#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor::test {
namespace {

using S = ListSide;

// A folder with a sub-folder, files on one side only, and files in both.
class ResultsTreeTest : public ResultsTest {
  protected:
    void SetUp() override {
        ResultsTest::SetUp();
        source.Write("a.txt", "a");
        target.Write("b.txt", "b");
        source.Write("docs/x.txt", "x", 2000);
        target.Write("docs/x.txt", "xx", 1000);
        source.Write("docs/sub/y.txt", "y");
        target.Write("docs/sub/z.txt", "z");
        Compare();
        Open();
    }
    // The Name cell of each item of a list, after a dot per level; "-"
    // opposite a row of the other side only.
    std::vector<std::string> Names(S side) const {
        const ResultsListModel& model = *window->Model(side);
        std::vector<std::string> names;
        for (int item = 0; item < model.rowCount(); ++item) {
            const QModelIndex index = model.index(item, 1);
            if (!index.data(ResultsListModel::kStatusIconRole).isValid() &&
                !model.index(item, 0).data(ResultsListModel::kStatusIconRole).isValid()) {
                names.emplace_back("-");
                continue;
            }
            const int depth = index.data(TreeNameDelegate::kDepthRole).toInt();
            names.push_back(std::string(static_cast<size_t>(depth), '.') +
                            index.data().toString().toStdString());
        }
        return names;
    }
    // Clicks the view toggles that differ from `wanted`.
    void ChooseToggles(const ViewToggles& wanted) {
        const std::pair<ViewToggle, bool> each[] = {{ViewToggle::Matched, wanted.matched},
                                                    {ViewToggle::Newer, wanted.newer},
                                                    {ViewToggle::Older, wanted.older},
                                                    {ViewToggle::Unmatched, wanted.unmatched},
                                                    {ViewToggle::Excluded, wanted.excluded}};
        for (const auto& [toggle, on] : each) {
            if (window->Toggle(toggle)->isChecked() != on)
                QTest::mouseClick(window->Toggle(toggle), Qt::LeftButton);
        }
    }
    // Clicks the open or closed mark of the folder shown at `item`.
    void ClickMark(S side, int item) {
        VirtualReportView* list = window->List(side);
        const QModelIndex index = window->Model(side)->index(item, 1);
        const int depth = index.data(TreeNameDelegate::kDepthRole).toInt();
        const int indent = TreeNameDelegate::Indent(*list);
        const QPoint at(list->Header()->sectionViewportPosition(1) + depth * indent + indent / 2,
                        list->visualRect(index).center().y());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(ResultsTreeTest, Tree_FoldersWithCounts_CloseAndOpen_RowsStayPairedOnBothSides) {
    QTest::mouseClick(window->Shaping()->TreeButton(), Qt::LeftButton);
    const std::vector<std::string> open = {"a.txt",    "-",       "docs (4)", ".x.txt",
                                           ".sub (2)", "..y.txt", "-"};
    EXPECT_EQ(Names(S::Source), open);
    EXPECT_EQ(Names(S::Target), (std::vector<std::string>{"-", "b.txt", "docs (4)", ".x.txt",
                                                          ".sub (2)", "-", "..z.txt"}));

    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> source;
    };
    const std::vector<Step> steps = {
        {"mark of sub",
         [&] { ClickMark(S::Target, 4); },
         {"a.txt", "-", "docs (4)", ".x.txt", ".sub (2)"}},
        {"mark of docs", [&] { ClickMark(S::Source, 2); }, {"a.txt", "-", "docs (4)"}},
        {"Right on docs",
         [&] {
             Click(S::Source, {2});
             QTest::keyClick(window->List(S::Source), Qt::Key_Right);
         },
         {"a.txt", "-", "docs (4)", ".x.txt", ".sub (2)"}},
        {"double click on sub",
         [&] {
             VirtualReportView* list = window->List(S::Source);
             QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                                list->visualRect(window->Model(S::Source)->index(4, 1)).center());
         },
         open},
        // The view toggles still choose: only Newer leaves x.txt, under its folder.
        {"Newer only",
         [&] {
             ChooseToggles({false, true, false, false, false});
         },
         {"docs (1)", ".x.txt"}},
        {"flat again",
         [&] {
             ChooseToggles({true, true, true, true, false});
             QTest::mouseClick(window->Shaping()->TreeButton(), Qt::LeftButton);
         },
         {"a.txt", "-", "docs", "docs/x.txt", "docs/sub", "docs/sub/y.txt", "-"}},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(Names(S::Source), step.source) << step.what;
        EXPECT_EQ(Names(S::Target).size(), step.source.size()) << step.what;
    }
}

TEST_F(ResultsTreeTest, FilterBoxAndOneFolder_NarrowTheRowsAndTheirCounts) {
    struct Case {
        const char* text;
        bool tree;
        bool onlyDocsSub;
        std::vector<std::string> source;
        std::string count;
    };
    const Case cases[] = {
        {"X.T", false, false, {"docs/x.txt"}, "Files and Folders: 1"},
        {"sub", false, false, {"docs/sub", "docs/sub/y.txt", "-"}, "Files and Folders: 2"},
        {"y.txt", true, false, {"docs (1)", ".sub (1)", "..y.txt"}, "Files and Folders: 1"},
        {"", false, true, {"docs/sub", "docs/sub/y.txt", "-"}, "Files and Folders: 2"},
        {"z", false, true, {"-"}, "Files and Folders: 0"},
        {"",
         false,
         false,
         {"a.txt", "-", "docs", "docs/x.txt", "docs/sub", "docs/sub/y.txt", "-"},
         "Files and Folders: 5"},
    };
    for (const Case& c : cases) {
        window->Shaping()->SetTreeMode(c.tree);
        Retype(window->Shaping()->FilterBox(), c.text);
        if (c.onlyDocsSub) {
            window->Shaping()->ShowOnlyFolder(RowOf("docs/sub"));
        } else {
            window->Shaping()->ShowAllFolders();
        }
        EXPECT_EQ(Names(S::Source), c.source) << c.text;
        EXPECT_EQ(window->CountLabel(S::Source)->text().toStdString(), c.count) << c.text;
        EXPECT_EQ(window->Shaping()->FolderBar()->isVisible(), c.onlyDocsSub) << c.text;
    }
}

// "Show Only This Folder" from the context menu of a file: its folder.
TEST_F(ResultsTreeTest, ShowOnlyThisFolder_OfAFile_ShowsItsFolder_ShowAllEndsIt) {
    Click(S::Source, {ItemOf("docs/sub/y.txt")});
    WithContextMenu(S::Source, [](QMenu& menu) { Pick(menu, "Show Only This Folder"); });
    EXPECT_EQ(Names(S::Source), (std::vector<std::string>{"docs/sub", "docs/sub/y.txt", "-"}));
    auto* bar = window->Shaping()->FolderBar();
    EXPECT_NE(ChildWithText<QLabel>(*bar, "Only the folder docs/sub is shown."), nullptr);
    QTest::mouseClick(ChildWithText<QPushButton>(*bar, "Show &All"), Qt::LeftButton);
    EXPECT_EQ(Names(S::Source).size(), 7u);
    EXPECT_FALSE(bar->isVisible());
}

}  // namespace
}  // namespace ravelmoor::test
