#include <gmock/gmock.h>
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include "core/results/VisibleRows.h"
#include "core/sync/RowOperations.h"
#include "gui/results/PreviewWindow.h"
#include "gui/results/ResultsFixture.h"
#include "gui/widgets/ReadableColour.h"
#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor::test {
namespace {

using ::testing::HasSubstr;

using S = ListSide;
using C = ResultColumn;

// Sizes that differ from side to side, rows on one side only and a folder.
class ResultsOrderTest : public ResultsTest {
  protected:
    void SetUp() override {
        ResultsTest::SetUp();
        source.Write("a.txt", "aaa", 1000);
        target.Write("a.txt", "a", 3000);
        target.Write("b.txt", "bbbbb", 500);
        source.Write("c.txt", "cc", 2000);
        source.Write("e.txt", "eeee", 1500);
        target.Write("e.txt", "eeee", 1500);
        source.MakeFolder("d");
        target.MakeFolder("d");
        Compare();
        Open();
    }
    // The name each item shows, "Source|Target" ("-" opposite a Missing entry).
    std::vector<std::string> Shown() const {
        const std::vector<std::string> left = Lines(S::Source);
        const std::vector<std::string> right = Lines(S::Target);
        std::vector<std::string> names;
        auto name = [](const std::string& line) {
            return line == "-"
                       ? line
                       : line.substr(line.find(' ') + 1, line.find('|') - line.find(' ') - 1);
        };
        for (size_t i = 0; i < left.size(); ++i)
            names.push_back(name(left[i]) + "|" + name(right[i]));
        return names;
    }
    void ClickHeader(S side, C column) {
        QHeaderView* header = window->List(side)->Header();
        const int x = header->sectionViewportPosition(static_cast<int>(column)) + 5;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    // The column and direction each header shows; -1 for none.
    std::pair<int, int> Indicators() const {
        auto of = [this](S side) {
            const QHeaderView* header = window->List(side)->Header();
            const int column = header->sortIndicatorSection();
            return column < 0 || column >= header->count()
                       ? -1
                       : column * 2 + (header->sortIndicatorOrder() == Qt::DescendingOrder);
        };
        return {of(S::Source), of(S::Target)};
    }
};

TEST_F(ResultsOrderTest, HeaderClicks_SortBothListsPaired_ReverseThenBackToPathOrder) {
    struct Step {
        S side;
        C column;
        std::vector<std::string> shown;
        std::pair<int, int> indicators;
    };
    const std::vector<Step> steps = {
        {S::Source, C::Size, {"d|d", "c.txt|-", "a.txt|a.txt", "e.txt|e.txt", "-|b.txt"}, {4, -1}},
        {S::Source, C::Size, {"-|b.txt", "e.txt|e.txt", "a.txt|a.txt", "c.txt|-", "d|d"}, {5, -1}},
        {S::Source, C::Size, {"a.txt|a.txt", "-|b.txt", "c.txt|-", "e.txt|e.txt", "d|d"}, {-1, -1}},
        {S::Target, C::Size, {"d|d", "a.txt|a.txt", "c.txt|-", "e.txt|e.txt", "-|b.txt"}, {-1, 4}},
        {S::Target,
         C::Timestamp,
         {"d|d", "-|b.txt", "e.txt|e.txt", "c.txt|-", "a.txt|a.txt"},
         {-1, 6}},
        {S::Source, C::Name, {"a.txt|a.txt", "-|b.txt", "c.txt|-", "e.txt|e.txt", "d|d"}, {2, -1}},
        {S::Source, C::Name, {"d|d", "e.txt|e.txt", "c.txt|-", "-|b.txt", "a.txt|a.txt"}, {3, -1}},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        ClickHeader(steps[i].side, steps[i].column);
        EXPECT_EQ(Shown(), steps[i].shown) << "step " << i;
        EXPECT_EQ(Indicators(), steps[i].indicators) << "step " << i;
    }

    // A column dragged elsewhere moves in both lists; both choices survive a reopening.
    window->List(S::Source)->Header()->moveSection(3, 1);
    EXPECT_EQ(window->List(S::Target)->Header()->logicalIndex(1), 3);
    Open();
    EXPECT_EQ(Shown(), steps.back().shown);
    EXPECT_EQ(Indicators(), steps.back().indicators);
    for (const S side : {S::Source, S::Target})
        EXPECT_EQ(window->List(side)->Header()->logicalIndex(1), 3);
    EXPECT_EQ(store.ReadString("Settings", "wndcols", ""), "0,3,1,2");
}

TEST_F(ResultsOrderTest, NoSavedWidths_NameTakesTheSlackAsTheWindowGrowsAndShrinks) {
    QApplication::processEvents();  // the window's first sizing is over
    VirtualReportView* list = window->List(S::Source);
    const QHeaderView* header = list->Header();
    const int size = header->sectionSize(2);
    const int time = header->sectionSize(3);
    const QSize first = window->size();
    for (const int extra : {0, 300, 80, 0, 500}) {
        window->resize(first.width() + extra, first.height());
        QApplication::processEvents();
        EXPECT_EQ(header->length(), list->viewport()->width()) << extra;
        EXPECT_EQ(header->sectionSize(2), size) << extra;
        EXPECT_EQ(header->sectionSize(3), time) << extra;
    }
    EXPECT_GT(header->sectionSize(1), 200);
}

TEST_F(ResultsOrderTest, CutOffName_ShowsItsWholeTextAsTooltip_AWholeOneDoesNot) {
    window.reset();
    const std::string longName = std::string(120, 'x') + ".txt";
    source.Write(longName, "l", 1000);
    Compare();
    Open();
    VirtualReportView* list = window->List(S::Source);
    QHeaderView* header = list->Header();
    header->resizeSection(1, 80);
    struct Case {
        std::string path;
        QString tooltip;
    };
    // The whole one first: a tooltip once shown takes a while to go.
    const Case cases[] = {{"a.txt", QString()}, {longName, QString::fromStdString(longName)}};
    for (const Case& c : cases) {
        const QRect cell = list->visualRect(list->model()->index(ItemOf(c.path), 1));
        QHelpEvent help(QEvent::ToolTip, cell.center(),
                        list->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(list->viewport(), &help);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), c.tooltip) << c.path;
    }
}

TEST_F(ResultsOrderTest, Keys_DeleteStartsDeleteOnTheSelection_F5ComparesAgain) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    prompter.Script({false});
    Click(S::Source, {ItemOf("c.txt")});
    QTest::keyClick(window->List(S::Source), Qt::Key_Delete);
    ASSERT_EQ(prompter.Log().size(), 1u);
    EXPECT_EQ(prompter.Log()[0].kind, "trash");
    EXPECT_TRUE(source.Exists("c.txt"));

    window->activateWindow();  // the "Re-Comparing files..." window had it
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->List(S::Source), Qt::Key_F5);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), ResultsWindow::kCompareAgain);
}

// Looks at the window whenever a copy asks before overwriting.
class WatchingPrompter : public ScriptedPrompter {
  public:
    BatchAnswer AskOverwrite(std::string_view text) override {
        if (watch) watch();
        return ScriptedPrompter::AskOverwrite(text);
    }
    std::function<void()> watch;
};

TEST_F(ResultsOrderTest, Synchronise_EachBatchAsksOverListsRefreshedAfterThePreviousOne) {
    window.reset();
    ClearTrees();
    WriteEachStatus(1000, 2000);
    Compare();
    WatchingPrompter watching;
    ResultsWindow own({comparer, settings, store, watching, pickers, "Ravelmoor"});
    own.show();
    // At each question both count labels are those of the lists as they are.
    std::vector<bool> current;
    watching.watch = [&] {
        std::vector<uint32_t> rows;
        const ShownTotals totals = ComputeVisibleRows(
            comparer.SourceResults(), comparer.TargetResults(), own.Toggles(), rows);
        current.push_back(own.CountLabel(S::Source)->text().toStdString() ==
                              CountLabelText(totals.SourceCount()) &&
                          own.CountLabel(S::Target)->text().toStdString() ==
                              CountLabelText(totals.TargetCount()));
    };
    own.ChooseMethod(SyncMethod::Align);
    own.OnSynchronise();
    EXPECT_EQ(current, (std::vector<bool>{true, true, true}));  // new.txt, then old.txt, skip.bak
}

TEST_F(ResultsOrderTest, Synchronise_StatusBarSaysWhatWasDone_AndListsWhatWasNot) {
    window.reset();
    ClearTrees();
    WriteEachStatus(1000, 2000);
    Compare();
    Open();
    window->ChooseMethod(SyncMethod::Force);
    prompter.Script({true});
    prompter.ScriptBatch({BatchAnswer::No, BatchAnswer::Yes, BatchAnswer::Yes});
    window->OnSynchronise();
    const std::string summary = window->SummaryText().toStdString();
    EXPECT_TRUE(summary.starts_with("Synchronised in ")) << summary;
    EXPECT_THAT(summary, HasSubstr(" seconds: 3 files copied ("));
    EXPECT_THAT(summary,
                HasSubstr("1 object moved to the trash, 2 replaced files kept in the trash."));
    EXPECT_TRUE(summary.ends_with(" 1 object was not copied or deleted.")) << summary;
    ASSERT_TRUE(window->FailuresButton()->isVisible());
    QTest::mouseClick(window->FailuresButton(), Qt::LeftButton);
    // The object whose question was answered No, by name.
    EXPECT_EQ(prompter.Texts().back(),
              "Not copied or deleted:\n" + target.Full("new.txt") + ": answered No");

    // Nothing left: no button.
    window->ChooseMethod(SyncMethod::Force);
    prompter.Script({true});
    window->OnSynchronise();
    EXPECT_FALSE(window->FailuresButton()->isVisible()) << window->SummaryText().toStdString();
}

TEST(ResultsColours, StatusColoursReadableOnDarkPalettes_LightOnesUnchanged) {
    const QPalette original = QApplication::palette();
    struct Case {
        QColor base;
        bool light;
    };
    const Case cases[] = {
        {QColor(255, 255, 255), true}, {QColor(240, 240, 240), true}, {QColor(30, 30, 30), false},
        {QColor(0, 0, 0), false},      {QColor(45, 45, 60), false},
    };
    for (const Case& c : cases) {
        QPalette palette = original;
        palette.setColor(QPalette::Base, c.base);
        QApplication::setPalette(palette);
        const QColor colours[] = {ResultsListModel::ColourOf(CellColour::Green),
                                  ResultsListModel::ColourOf(CellColour::Red),
                                  PreviewWindow::ColourOf(PreviewColour::Blue)};
        const QColor light[] = {QColor(0, 123, 0), QColor(255, 0, 0), QColor(0, 0, 255)};
        for (size_t i = 0; i < 3; ++i) {
            if (c.light) {
                EXPECT_EQ(colours[i], light[i]) << c.base.name().toStdString();
            } else {
                EXPECT_GE(ContrastRatio(colours[i], c.base), kReadableContrast)
                    << c.base.name().toStdString() << " " << colours[i].name().toStdString();
            }
        }
    }
    QApplication::setPalette(original);
}

}  // namespace
}  // namespace ravelmoor::test
