#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <map>

#include "core/results/VisibleRows.h"
#include "core/text/Formatting.h"
#include "gui/results/ResultsFixture.h"
#include "gui/widgets/ElidedLabel.h"
#include "gui/widgets/VirtualReportView.h"
#include "support/FaultyFileSystem.h"

namespace ravelmoor::test {
namespace {

constexpr int64_t kOld = 1600000000;
constexpr int64_t kNew = 1600000101;  // odd seconds: the lists must show them

using S = ListSide;
using Toggles = ViewToggles;

// Every status on both sides, an excluded file and an excluded folder.
class ResultsWindowTest : public ResultsTest {
  protected:
    void WriteTrees() {
        WriteEachStatus(kOld, kNew);
        source.Write("dir/inner.txt", "i", kOld);
        target.Write("dir/inner.txt", "i", kOld);
        source.Write("cache/c.txt", "c", kOld);
        target.Write("cache/c.txt", "c", kOld);
        source.MakeFolder("newdir");
    }
    void SetUp() override {
        ResultsTest::SetUp();
        WriteTrees();
        Compare({R"(\.bak$)", "cache"});
        Open();
    }
    // The lines of the items showing these paths, in this order.
    std::vector<std::string> LinesOf(S side, const std::vector<std::string>& paths) {
        const std::vector<std::string> all = Lines(side);
        std::vector<std::string> lines;
        for (const std::string& path : paths) {
            const int item = ItemOf(path);
            lines.push_back(item < 0 ? "hidden" : all[static_cast<size_t>(item)]);
        }
        return lines;
    }
    std::vector<std::string> ShownPaths() {
        std::vector<std::string> paths;
        for (const uint32_t row : window->VisibleRows()) {
            const FileEntry& s = comparer.SourceResults().ElementAt(row);
            paths.push_back((s.IsBlank() ? comparer.TargetResults().ElementAt(row) : s).path.str());
        }
        return paths;
    }
    static std::string Time(int64_t time) { return FormatTimestamp(time); }
};

TEST_F(ResultsWindowTest, Lists_EachStatus_ShowTheirIconTextsAndAnEmptyLineOppositeAMissingEntry) {
    const std::vector<std::string> paths = {
        "same.txt", "new.txt",       "old.txt", "only-source.txt", "only-target.txt", "skip.bak",
        "dir",      "dir/inner.txt", "cache",   "cache/c.txt",     "newdir"};
    const std::string o = "|" + Time(kOld) + "|text";
    const std::string n = "|" + Time(kNew) + "|text";
    EXPECT_EQ(LinesOf(S::Source, paths),
              (std::vector<std::string>{"1 same.txt|4" + o, "2 new.txt|2" + n, "3 old.txt|2" + o,
                                        "4 only-source.txt|1" + o, "-", "5 skip.bak|1" + o,
                                        "6 dir|||text", "1 dir/inner.txt|1" + o, "10 cache|||text",
                                        "5 cache/c.txt|1" + o, "9 newdir|||text"}));
    EXPECT_EQ(LinesOf(S::Target, paths),
              (std::vector<std::string>{"1 same.txt|4" + o, "3 new.txt|2" + o, "2 old.txt|2" + n,
                                        "-", "4 only-target.txt|2" + o, "5 skip.bak|2" + n,
                                        "6 dir|||text", "1 dir/inner.txt|1" + o, "10 cache|||text",
                                        "5 cache/c.txt|1" + o, "-"}));
    // One second apart shows.
    EXPECT_NE(Time(kNew), Time(kNew - 1));
    EXPECT_EQ(window->PathLabel(S::Source)->text().toStdString(), "Source: " + source.Root());
    EXPECT_EQ(window->PathLabel(S::Target)->text().toStdString(), "Target:  " + target.Root());
    EXPECT_EQ(window->SelectionText(), "No objects selected");
    EXPECT_EQ(window->SummaryText().toStdString(), settings.SummaryText());
    window->List(S::Source)->setFocus();
    EXPECT_TRUE(window->SynchroniseButton()->isDefault());
    EXPECT_EQ(window->Model(S::Source)->headerData(3, Qt::Horizontal).toString(), "Timestamp");
}

TEST_F(ResultsWindowTest, Lists_EachMethod_ColourWhatIsCopiedFromGreenAndWhatIsReplacedRed) {
    // Source new.txt, old.txt, only-source.txt; Target new.txt, old.txt, only-target.txt;
    // matched and excluded rows stay in the text colour.
    struct Case {
        SyncMethod method;
        std::vector<std::string> source, target;
    };
    const std::vector<Case> cases = {
        {SyncMethod::None, {"text", "text", "text"}, {"text", "text", "text"}},
        {SyncMethod::Align, {"green", "red", "green"}, {"red", "green", "green"}},
        {SyncMethod::Force, {"green", "green", "green"}, {"red", "red", "red"}},
    };
    auto colours = [this](S side, const std::vector<std::string>& paths) {
        std::vector<std::string> found;
        for (const std::string& line : LinesOf(side, paths))
            found.push_back(line.substr(line.rfind('|') + 1));
        return found;
    };
    for (const Case& c : cases) {
        window->ChooseMethod(c.method);
        window->ChooseView(ViewChoice::All);
        const std::string method(SyncMethodText(c.method));
        EXPECT_EQ(colours(S::Source, {"new.txt", "old.txt", "only-source.txt"}), c.source)
            << method;
        EXPECT_EQ(colours(S::Target, {"new.txt", "old.txt", "only-target.txt"}), c.target)
            << method;
        EXPECT_EQ(colours(S::Source, {"same.txt", "skip.bak", "cache/c.txt"}),
                  (std::vector<std::string>{"text", "text", "text"}))
            << method;
        EXPECT_EQ(window->DescriptionLabel()->text().toStdString(),
                  SyncMethodDescription(c.method));
    }
}

TEST_F(ResultsWindowTest, ViewComboAndToggles_SetEachOther) {
    struct Case {
        ViewChoice choice;
        Toggles toggles;  // matched, newer, older, unmatched, excluded
        std::vector<std::string> shown;
    };
    const std::vector<Case> cases = {
        {ViewChoice::Matched,
         {true, false, false, false, false},
         {"same.txt", "dir", "dir/inner.txt"}},
        {ViewChoice::Unmatched,
         {false, false, false, true, false},
         {"only-source.txt", "only-target.txt", "newdir"}},
        {ViewChoice::NewerAndOlder, {false, true, true, false, false}, {"new.txt", "old.txt"}},
        {ViewChoice::Excluded,
         {false, false, false, false, true},
         {"skip.bak", "cache", "cache/c.txt"}},
    };
    for (const Case& c : cases) {
        QComboBox* combo = window->ViewCombo();
        combo->setCurrentIndex(static_cast<int>(c.choice));
        emit combo->activated(static_cast<int>(c.choice));
        EXPECT_EQ(window->Toggles(), c.toggles) << combo->currentText().toStdString();
        std::vector<std::string> shown = ShownPaths();
        std::sort(shown.begin(), shown.end());
        std::vector<std::string> expected = c.shown;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(shown, expected) << combo->currentText().toStdString();
    }
    // Toggles back to the combo: Newer alone has no name; Newer and Older has.
    window->ChooseView(ViewChoice::Matched);
    QToolButton* matched = window->Toggle(ViewToggle::Matched);
    QTest::mouseClick(matched, Qt::LeftButton);
    QTest::mouseClick(window->Toggle(ViewToggle::Newer), Qt::LeftButton);
    EXPECT_EQ(window->ViewCombo()->currentText(), "  ");
    EXPECT_EQ(ShownPaths(), std::vector<std::string>{"new.txt"});
    EXPECT_TRUE(window->CloseButton()->hasFocus());
    QTest::mouseClick(window->Toggle(ViewToggle::Older), Qt::LeftButton);
    EXPECT_EQ(window->ViewCombo()->currentText(), "Newer and Older");
    // An excluded row follows the Excluded toggle, whatever its status toggle says.
    QTest::mouseClick(window->Toggle(ViewToggle::Excluded), Qt::LeftButton);
    EXPECT_EQ(window->ViewCombo()->currentText(), "  ");
    EXPECT_NE(ItemOf("cache/c.txt"), -1);
    window->ChooseView(ViewChoice::All);
    QTest::mouseClick(window->Toggle(ViewToggle::Excluded), Qt::LeftButton);
    EXPECT_EQ(ItemOf("cache/c.txt"), -1);
    EXPECT_EQ(ItemOf("skip.bak"), -1);
}

TEST_F(ResultsWindowTest, Selection_MissingOrExcludedEntriesRefused_TextCountsFilesAndFolders) {
    Click(S::Source, {ItemOf("only-target.txt")});  // an empty line in the Source list
    EXPECT_EQ(Selected(S::Source), std::vector<int>{});
    EXPECT_EQ(window->SelectionText(), "No objects selected");

    Click(S::Source, {ItemOf("same.txt"), ItemOf("new.txt"), ItemOf("skip.bak"), ItemOf("dir")});
    EXPECT_EQ(Selected(S::Source).size(), 3u);
    EXPECT_EQ(window->SelectionText(), "Files Selected: 2 Total Size: 6 Folders Selected: 1");

    // The list that takes the focus is the only one with a selection.
    Click(S::Target, {ItemOf("only-target.txt")});
    EXPECT_EQ(Selected(S::Source), std::vector<int>{});
    EXPECT_EQ(Selected(S::Target), std::vector<int>{ItemOf("only-target.txt")});
    EXPECT_EQ(window->SelectionText(), "Files Selected: 1 Total Size: 2 Folders Selected: 0");

    // Select all takes what may be selected.
    QTest::keyClick(window->List(S::Source), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(window->SelectionText(), "Files Selected: 5 Total Size: 10 Folders Selected: 2");
    EXPECT_EQ(Selected(S::Source).size(), 7u);

    // An emptied selection is counted too; a new view empties it.
    window->List(S::Source)->clearSelection();
    EXPECT_EQ(window->SelectionText(), "Files Selected: 0 Total Size: 0 Folders Selected: 0");
    Click(S::Source, {ItemOf("same.txt")});
    window->ChooseView(ViewChoice::Matched);
    EXPECT_EQ(window->SelectionText(), "Files Selected: 0 Total Size: 0 Folders Selected: 0");
}

TEST_F(ResultsWindowTest, ContextMenu_ItemsGreyedBySelectionRules) {
    struct Case {
        S side;
        std::vector<std::string> selected;
        std::map<QString, bool> enabled;
    };
    const QString visualise = "Visualise Differences";
    const std::vector<Case> cases = {
        {S::Source,
         {"same.txt"},
         {{visualise, true}, {"Copy to Target  >>>", true}, {"Delete", true}}},
        {S::Source,
         {"only-source.txt"},
         {{visualise, false}, {"Copy to Target  >>>", true}, {"Delete", true}}},
        {S::Source, {}, {{visualise, false}, {"Copy to Target  >>>", false}, {"Delete", false}}},
        {S::Target,
         {"only-target.txt", "new.txt"},
         {{visualise, true}, {"<<< Copy to Source", true}, {"Delete", true}}},
        {S::Target,
         {"only-source.txt"},
         {{visualise, false}, {"<<< Copy to Source", false}, {"Delete", false}}},
    };
    for (const Case& c : cases) {
        std::vector<int> items;
        for (const std::string& path : c.selected)
            items.push_back(ItemOf(path));
        window->List(S::Source)->clearSelection();
        window->List(S::Target)->clearSelection();
        Click(c.side, items);
        std::map<QString, bool> enabled;
        int separators = 0;
        WithContextMenu(c.side, [&](QMenu& menu) {
            for (const QAction* action : menu.actions()) {
                if (action->isSeparator()) {
                    ++separators;
                } else if (action->text() != "Compare Again" &&  // always there, with F5
                           action->text() != "Show Only This Folder") {
                    enabled[action->text()] = action->isEnabled();
                }
            }
        });
        EXPECT_EQ(enabled, c.enabled) << (c.selected.empty() ? "nothing" : c.selected[0]);
        EXPECT_EQ(separators, 2);
    }
}

TEST_F(ResultsWindowTest, ContextMenu_CopyAndDelete_ChangeTheDiskAndTheRows) {
    // Declined: nothing changes.
    prompter.Script({false});
    Click(S::Source, {ItemOf("only-source.txt")});
    WithContextMenu(S::Source, [](QMenu& menu) { Pick(menu, "Copy to Target  >>>"); });
    EXPECT_FALSE(target.Exists("only-source.txt"));

    Click(S::Source, {ItemOf("only-source.txt")});
    WithContextMenu(S::Source, [](QMenu& menu) { Pick(menu, "Copy to Target  >>>"); });
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{"Do you want to copy the selected objects?",
                                        "Do you want to copy the selected objects?"}));
    EXPECT_EQ(target.Read("only-source.txt"), "s");
    EXPECT_EQ(LinesOf(S::Target, {"only-source.txt"}),
              std::vector<std::string>{"1 only-source.txt|1|" + Time(kOld) + "|text"});
    EXPECT_EQ(Selected(S::Source), std::vector<int>{});

    // Deleting the only copy of a file drops its row.
    const int rowsBefore = window->Model(S::Target)->rowCount();
    Click(S::Target, {ItemOf("only-target.txt")});
    WithContextMenu(S::Target, [](QMenu& menu) { Pick(menu, "Delete"); });
    EXPECT_FALSE(target.Exists("only-target.txt"));
    EXPECT_EQ(TrashedNames(), std::set<std::string>{"only-target.txt"});
    for (const std::string& row : Rows(comparer))
        EXPECT_FALSE(row.ends_with("only-target.txt")) << row;
    EXPECT_EQ(window->Model(S::Target)->rowCount(), rowsBefore - 1);
    // Deleting one side of a pair leaves the other side unmatched.
    Click(S::Target, {ItemOf("same.txt")});
    WithContextMenu(S::Target, [](QMenu& menu) { Pick(menu, "<<< Copy to Source"); });
    Click(S::Source, {ItemOf("same.txt")});
    WithContextMenu(S::Source, [](QMenu& menu) { Pick(menu, "Delete"); });
    EXPECT_FALSE(source.Exists("same.txt"));
    EXPECT_EQ(LinesOf(S::Source, {"same.txt"}), std::vector<std::string>{"-"});
    EXPECT_EQ(LinesOf(S::Target, {"same.txt"}),
              std::vector<std::string>{"4 same.txt|4|" + Time(kOld) + "|text"});
    EXPECT_EQ(Rows(comparer), FreshRows());
}

TEST_F(ResultsWindowTest, Totals_RowsOnOneSideOnly_CountOnThatSideAndLargeSizesInFull) {
    window.reset();
    ClearTrees();
    source.Write("a.txt", "abc");
    target.Write("b.txt", "bbbbb");
    source.Write("c.txt", "cccc");
    target.Write("c.txt", "cccc");
    source.Write("big.bin", "");
    std::filesystem::resize_file(source.Full("big.bin"), 4294967296);
    Compare();
    Open();
    const auto labels = [this] {
        std::vector<std::string> texts;
        for (const S side : {S::Source, S::Target}) {
            texts.push_back(window->CountLabel(side)->text().toStdString());
            texts.push_back(window->SizeLabel(side)->text().toStdString());
        }
        return texts;
    };
    EXPECT_EQ(labels(), (std::vector{CountLabelText(3), SizeLabelText(4294967303),
                                     CountLabelText(2), SizeLabelText(9)}));
    EXPECT_EQ(CountLabelText(3), "Files and Folders: " + FormatSize(3));
    EXPECT_EQ(window->Model(S::Source)->index(ItemOf("big.bin"), 2).data().toString().toStdString(),
              FormatSize(4294967296));
    window->ChooseView(ViewChoice::Matched);
    EXPECT_EQ(labels(), (std::vector{CountLabelText(1), SizeLabelText(4), CountLabelText(1),
                                     SizeLabelText(4)}));
}

TEST_F(ResultsWindowTest, Opening_IdenticalFoldersSaySo_FolderCheckWarnsOnlyForALocalFolderGone) {
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{});
    window.reset();
    comparer.Reset({});
    comparer.Start(source.Root() + "dir/", target.Root() + "dir/", true, {}, {});
    comparer.Wait();
    Open();
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{
                  "The two folders are identical (excluding filtered files and sub-folders)"});

    window->CheckFoldersStillThere();
    EXPECT_EQ(prompter.Texts().size(), 1u);
    std::filesystem::rename(target.Full("dir"), target.Full("moved"));
    window->CheckFoldersStillThere();
    std::filesystem::rename(source.Full("dir"), source.Full("moved"));
    window->CheckFoldersStillThere();
    window->CheckFoldersStillThere();
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{
                  "The two folders are identical (excluding filtered files and sub-folders)",
                  "WARNING: the Target folder is no longer accessible.",
                  "WARNING: the Source folder is no longer accessible.",
                  "WARNING: the Source folder is no longer accessible."}));
}

TEST_F(ResultsWindowTest, Opening_UnreadableFolder_NamedInStatusBarAndOnce) {
    window.reset();
    auto faulty = std::make_shared<FaultyFileSystem>();
    faulty->FailListing(source.Root() + "dir/", ListStatus::NotListable);
    comparer.SetLocalFileSystem(faulty);
    Compare();
    Open();
    EXPECT_EQ(window->UnreadableFoldersText(), "Some folders could not be read.");
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_EQ(prompter.Texts()[0], comparer.UnlistableFoldersWarning());
}

TEST_F(ResultsWindowTest, Lists_ScrollTogether_AndShareTheWidth) {
    window.reset();
    for (int i = 0; i < 200; ++i)
        source.Write("many/" + std::to_string(1000 + i) + ".txt", "x");
    Compare();
    Open();
    VirtualReportView* left = window->List(S::Source);
    VirtualReportView* right = window->List(S::Target);
    left->verticalScrollBar()->setValue(50);
    EXPECT_EQ(right->FirstVisibleRow(), 50);
    right->verticalScrollBar()->setValue(120);
    EXPECT_EQ(left->FirstVisibleRow(), 120);

    // The Name column taking the slack is ResultsOrderTest's NoSavedWidths case.
    EXPECT_LE(std::abs(left->width() - right->width()), 1);
    window->resize(100, 100);
    EXPECT_GE(window->width(), window->minimumWidth());
    EXPECT_GE(window->height(), window->minimumHeight());
}

}  // namespace
}  // namespace ravelmoor::test
