#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "core/journal/JournalStore.h"
#include "core/journal/RootLock.h"
#include "core/local/LocalFileSystem.h"
#include "core/sync/DifferenceViewerCommand.h"
#include "core/sync/PlanEdit.h"
#include "gui/main/ShowResultsWindow.h"
#include "gui/results/DesktopViewerHost.h"
#include "gui/results/PreviewModel.h"
#include "gui/results/PreviewWindow.h"
#include "gui/results/ResultsFixture.h"
#include "gui/results/ResultsShaping.h"
#include "gui/settings/GeneralSettingsDialog.h"
#include "gui/widgets/VirtualReportView.h"
#include "support/MainWindowFixture.h"
#include "support/RunProgram.h"

namespace ravelmoor::test {
namespace {

using S = ListSide;

// The lines of a preview window: each run as "[colour]text", colours named,
// after "[x] " for a ticked action and "[ ] " for one left out.
std::vector<std::string> PreviewLines(const PreviewWindow& preview) {
    std::vector<std::string> lines;
    const PreviewModel& model = *preview.Model();
    for (int row = 0; row < model.rowCount(); ++row) {
        std::string line = model.Entries()[static_cast<size_t>(row)].ticked ? "[x] " : "[ ] ";
        for (const PreviewRun& run : model.LineOf(row).runs)
            line += "[" + ColourName(PreviewWindow::ColourOf(run.colour)) + "]" + run.text;
        lines.push_back(line);
    }
    return lines;
}

// Selects `rows` of the preview's list and clicks `button`, as a user does.
void ClickOnRows(PreviewWindow& preview, const std::vector<int>& rows, QPushButton* button) {
    VirtualReportView& list = *preview.List();
    list.clearSelection();
    for (const int row : rows)
        list.selectionModel()->select(preview.Model()->index(row), QItemSelectionModel::Select);
    QTest::mouseClick(button, Qt::LeftButton);
}

class ResultsCommandsTest : public ResultsTest {
  protected:
    void SetUp() override {
        ResultsTest::SetUp();
        WriteEachStatus(1000, 2000);
        Compare({R"(\.bak$)"});
        Open();
    }
    // A script in a folder with a blank that writes its arguments, one a
    // line, to `output`.
    std::string ViewerScript(const std::string& output) {
        std::filesystem::create_directories(home.Path() + "/my viewer");
        std::string path = home.Path() + "/my viewer/viewer.sh";
        std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << output << ".part'\nmv '"
                            << output << ".part' '" << output << "'\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    static std::string ReadWhenThere(const std::string& path) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(path); }, 10000)) << path;
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

TEST_F(ResultsCommandsTest, Synchronise_AfterConfirmation_LeavesTheWindowOverTheNewRows) {
    const std::string confirm = "Please confirm that you want to \"Force Target\"";
    const TreeState before = Snapshot(target);
    prompter.Script({false});
    window->ChooseMethod(SyncMethod::Force);
    QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
    EXPECT_EQ(prompter.Texts(), std::vector{confirm});
    EXPECT_EQ(Snapshot(target), before);

    QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
    ASSERT_GE(prompter.Texts().size(), 2u);
    EXPECT_EQ(prompter.Texts()[1], confirm);
    const std::string m = "matched matched file 0 ";
    std::vector<std::string> rows = Rows(comparer);
    std::erase_if(rows, [](const std::string& row) { return row.ends_with("skip.bak"); });
    EXPECT_EQ(rows,
              (std::vector{m + "new.txt", m + "old.txt", m + "only-source.txt", m + "same.txt"}));
    EXPECT_EQ(Rows(comparer), FreshRows());
    EXPECT_EQ(target.Read("skip.bak"), "bb");
    EXPECT_TRUE(window->isVisible());
    window->ChooseView(ViewChoice::All);
    EXPECT_EQ(window->Model(S::Source)->rowCount(), static_cast<int>(Rows(comparer).size()));

    // Once done there is nothing to do; without a method there is nothing to plan.
    QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
    QTest::mouseClick(window->PreviewButton(), Qt::LeftButton);
    window->ChooseMethod(SyncMethod::None);
    QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
    const std::vector<std::string> texts = prompter.Texts();
    EXPECT_EQ(std::vector<std::string>(texts.end() - 3, texts.end()),
              (std::vector<std::string>{"No files or folders need to be copied or deleted.",
                                        "No files or folders need to be copied or deleted.",
                                        "Please select sync method."}));
}

// "Undo" takes back the window's own last sync: Target is as it was, the rows
// are compared again (but for only-target.txt: the sync dropped its row, and
// the undo brings back the file without it), and the button greys out.
TEST_F(ResultsCommandsTest, UndoButton_AfterASync_PutsTargetBackAndGreysOut) {
    const TreeState before = Snapshot(target);
    EXPECT_FALSE(window->UndoButton()->isEnabled());
    window->ChooseMethod(SyncMethod::Force);
    QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
    ASSERT_NE(Snapshot(target), before);
    EXPECT_TRUE(window->UndoButton()->isEnabled());

    WhenWindowShows(
        [] {
            QWidget* modal = QApplication::activeModalWidget();
            return modal != nullptr && modal->windowTitle() == "Undo Last Synchronisation"
                       ? modal
                       : nullptr;
        },
        [](QWidget& confirm) { PressButton(confirm, QDialogButtonBox::Yes); });
    QTest::mouseClick(window->UndoButton(), Qt::LeftButton);
    EXPECT_EQ(Snapshot(target), before);
    EXPECT_FALSE(window->UndoButton()->isEnabled());
    std::vector<std::string> fresh = FreshRows();
    std::erase_if(fresh, [](const std::string& row) { return row.ends_with("only-target.txt"); });
    EXPECT_EQ(Rows(comparer), fresh);
}

// A copy and a deletion from the context menu are journaled like a sync,
// under words of their own: "Undo" takes the deletion back, `ravelmoor undo`
// the copy, and `history` lists both.
TEST_F(ResultsCommandsTest, ContextMenuCopyAndDelete_JournaledAndUndoneLikeASync) {
    TempTree state;
    const std::string stateHome = std::getenv("XDG_STATE_HOME");
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    const TreeState before = Snapshot(target);
    struct Case {
        ListSide side;
        const char* path;
        const char* item;
        const char* word;
    };
    const Case cases[] = {
        {S::Source, "only-source.txt", "Copy to Target  >>>", "Manual Copy"},
        {S::Target, "new.txt", "Delete", "Manual Delete"},
    };
    std::vector<std::string> ids;
    for (const Case& c : cases) {
        prompter.Script({true});
        Click(c.side, {ItemOf(c.path)});
        WithContextMenu(c.side, [&](QMenu& menu) { Pick(menu, c.item); });
        ASSERT_EQ(JournalStore::Ids().size(), ids.size() + 1) << c.word;
        ids.push_back(JournalStore::Ids().back());
        SyncJournal journal;
        ASSERT_TRUE(JournalStore::Read(ids.back(), journal).Ok());
        EXPECT_EQ(journal.header.method, c.word);
        EXPECT_TRUE(window->UndoButton()->isEnabled()) << c.word;
    }
    EXPECT_TRUE(target.Exists("only-source.txt"));
    EXPECT_FALSE(target.Exists("new.txt"));

    WhenWindowShows(
        [] {
            QWidget* modal = QApplication::activeModalWidget();
            return modal != nullptr && modal->windowTitle() == "Undo Last Synchronisation"
                       ? modal
                       : nullptr;
        },
        [](QWidget& confirm) { PressButton(confirm, QDialogButtonBox::Yes); });
    QTest::mouseClick(window->UndoButton(), Qt::LeftButton);
    EXPECT_EQ(target.Read("new.txt"), "v1");
    EXPECT_FALSE(window->UndoButton()->isEnabled());

    const auto undo = RunRavelmoor({"undo", ids[0], "--yes"});
    EXPECT_EQ(undo.exitCode, 0) << undo.err;
    EXPECT_EQ(Snapshot(target), before);
    const auto history = RunRavelmoor({"history"});
    for (const Case& c : cases)
        EXPECT_NE(history.out.find(std::string("  ") + c.word + "  "), std::string::npos)
            << history.out;
    ::setenv("XDG_STATE_HOME", stateHome.c_str(), 1);
}

// What keeps the window's sync from running: another run on the Target, a
// journal that can not be written (the user answers No to going on without
// one). Each is said, and nothing changes.
TEST_F(ResultsCommandsTest, Synchronise_TargetInUseOrNoJournal_SaysSoAndChangesNothing) {
    struct Case {
        const char* name;
        bool lockTarget;
        bool noJournal;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"target in use", true, false,
         "is being synchronised or undone by another run (process " + std::to_string(::getpid())},
        {"no journal", false, true,
         "Without a journal the synchronisation can not be undone. Synchronise anyway?"},
    };
    const TreeState before = Snapshot(target);
    const std::string state = std::getenv("XDG_STATE_HOME");
    window->ChooseMethod(SyncMethod::Force);
    for (const Case& c : cases) {
        RootLock held;
        if (c.lockTarget) {
            ASSERT_TRUE(held.Take({target.Root(), target.Root(), true}).Ok());
        }
        // A file where the state folder should be: no journal below it.
        TempTree blocked;
        blocked.Write("state-file", "in the way");
        if (c.noJournal) ::setenv("XDG_STATE_HOME", blocked.Full("state-file").c_str(), 1);
        prompter.Script({true, false});
        QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        EXPECT_NE(prompter.Texts().back().find(c.says), std::string::npos)
            << c.name << ": " << prompter.Texts().back();
        EXPECT_EQ(Snapshot(target), before) << c.name;
        EXPECT_FALSE(window->UndoButton()->isEnabled()) << c.name;
    }
}

TEST_F(ResultsCommandsTest, PreviewButton_ShowsThePlanOfTheMethodAndChangesNothing) {
    const TreeState sourceBefore = Snapshot(source);
    const TreeState targetBefore = Snapshot(target);
    window->ChooseMethod(SyncMethod::UpdateAndPrune);
    std::string total;
    WhenShown<PreviewWindow>([&](PreviewWindow& preview) {
        total = preview.TotalLabel()->text().toStdString();
        QTest::mouseClick(preview.CloseButton(), Qt::LeftButton);
    });
    QTest::mouseClick(window->PreviewButton(), Qt::LeftButton);
    EXPECT_EQ(total, "Total Files/Folders copied or deleted: 3");
    EXPECT_EQ(Snapshot(source), sourceBefore);
    EXPECT_EQ(Snapshot(target), targetBefore);
}

TEST_F(ResultsCommandsTest, PreviewWindow_AllThreeKindsOfAction_InOrderWithTheTotal) {
    SyncPlan plan;
    plan.copyToTarget = {RowOf("new.txt"), RowOf("only-source.txt")};
    plan.copyToSource = {RowOf("old.txt")};
    plan.deleteInTarget = {RowOf("only-target.txt")};
    PreviewWindow preview(SidesOf(comparer), EntriesOf(plan), window.get());
    preview.show();
    // The lines' own test holds their wording; here the window shows the colours.
    const std::vector<std::string> lines = PreviewLines(preview);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "[x] [text]would copy SOURCE [green]" + source.Full("new.txt") +
                            "[text] to OVERWRITE TARGET [red]" + target.Full("new.txt"));
    EXPECT_EQ(lines[3], "[x] [text]would DELETE TARGET [red]" + target.Full("only-target.txt"));
    EXPECT_EQ(preview.TotalLabel()->text(), "Total Files/Folders copied or deleted: 4");
    EXPECT_EQ(ColourName(preview.TotalLabel()->palette().color(QPalette::WindowText)), "blue");
}

// The preview's edits are what Synchronise then carries out: an action
// unticked is left alone, a copy reversed goes the other way, a row excluded
// is left alone and joins the filter's excludes. "Force Target" plans four
// actions: new.txt, old.txt, only-source.txt to Target, only-target.txt deleted.
TEST_F(ResultsCommandsTest, Preview_EditedPlan_IsWhatSynchroniseRuns) {
    struct Case {
        const char* name;
        std::function<void(PreviewWindow&)> edit;
        size_t ticked;
        std::map<std::string, std::string> sourceAfter;  // "" where a file is not
        std::map<std::string, std::string> targetAfter;
    };
    const std::vector<Case> cases = {
        {"three unticked",
         [](PreviewWindow& p) {
             ClickOnRows(p, {0, 1, 3}, p.UntickButton());
         },
         1,
         {{"new.txt", "v2"}, {"old.txt", "v1"}},
         {{"new.txt", "v1"},
          {"old.txt", "v2"},
          {"only-source.txt", "s"},
          {"only-target.txt", "tt"}}},
        {"unticked, then ticked again",
         [](PreviewWindow& p) {
             ClickOnRows(p, {0, 1, 2, 3}, p.UntickButton());
             ClickOnRows(p, {2}, p.TickButton());
         },
         1,
         {{"new.txt", "v2"}},
         {{"new.txt", "v1"}, {"only-source.txt", "s"}, {"only-target.txt", "tt"}}},
        {"one reversed, one not reversible",
         [](PreviewWindow& p) {
             ClickOnRows(p, {0, 2}, p.ReverseButton());
         },
         4,
         {{"new.txt", "v1"}, {"old.txt", "v1"}},
         {{"new.txt", "v1"}, {"old.txt", "v1"}, {"only-source.txt", "s"}, {"only-target.txt", ""}}},
        {"one excluded",
         [](PreviewWindow& p) { ClickOnRows(p, {3}, p.ExcludeButton()); },
         3,
         {{"new.txt", "v2"}},
         {{"new.txt", "v2"},
          {"old.txt", "v1"},
          {"only-source.txt", "s"},
          {"only-target.txt", "tt"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteEachStatus(1000, 2000);
        std::filesystem::remove(target.Full("only-source.txt"));
        Compare({R"(\.bak$)"});
        Open();
        settings.filterRules.clear();
        window->ChooseMethod(SyncMethod::Force);
        size_t ticked = 0;
        WhenShown<PreviewWindow>([&](PreviewWindow& preview) {
            c.edit(preview);
            ticked = preview.Model()->TickedCount();
            QTest::mouseClick(preview.CloseButton(), Qt::LeftButton);
        });
        QTest::mouseClick(window->PreviewButton(), Qt::LeftButton);
        EXPECT_EQ(ticked, c.ticked);
        prompter.Script({true});
        QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
        for (const auto& [tree, expected] :
             {std::pair{&source, c.sourceAfter}, std::pair{&target, c.targetAfter}}) {
            for (const auto& [path, content] : expected) {
                EXPECT_EQ(tree->Exists(path) ? tree->Read(path) : "", content) << path;
            }
        }
    }
    // The excluded row's rule is the filter's, for the next compare too.
    ASSERT_EQ(settings.filterRules.size(), 1u);
    EXPECT_EQ(settings.filterRules[0].type, "Exclude");
    EXPECT_EQ(settings.filterRules[0].expression, "^only-target\\.txt$");
}

TEST_F(ResultsCommandsTest, Placement_RoundTrip_AndValuesThatDoNotParseIgnored) {
    const QRect wanted(3, 4, window->minimumWidth() + 5, window->minimumHeight() + 5);
    window->setGeometry(wanted);
    window->List(S::Source)->Header()->resizeSection(1, 222);
    window->List(S::Target)->Header()->resizeSection(3, 133);
    const int size = window->List(S::Source)->Header()->sectionSize(2);
    const int stamp = window->List(S::Source)->Header()->sectionSize(3);
    window.reset();
    EXPECT_EQ(store.ReadString("Settings", "wnd", ""),
              "3,4," + std::to_string(wanted.right() + 1) + "," +
                  std::to_string(wanted.bottom() + 1) + ",1,0");
    EXPECT_EQ(store.ReadString("Settings", "wndlists", ""),
              "222," + std::to_string(size) + "," + std::to_string(stamp));

    Open();
    EXPECT_EQ(window->geometry(), wanted);
    EXPECT_EQ(window->List(S::Source)->Header()->sectionSize(1), 222);
    EXPECT_EQ(window->List(S::Target)->Header()->sectionSize(3), 133);

    // A place on no screen, or a size saved at a smaller scale (the screen
    // now has fewer device-independent pixels): moved and shrunk onto it.
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect twice(desktop.left(), desktop.top(), desktop.width() * 2, desktop.height() * 2);
    for (const QRect& saved : {QRect(5000, 5000, 800, 600), twice, twice.translated(-900, -900)}) {
        window.reset();
        store.WriteString("Settings", "wnd",
                          FormatPlacement(WindowPlacement::FromRect(saved, false)));
        Open();
        const QRect at = window->geometry();
        // Within the screen but for the frame the platform puts around it.
        EXPECT_TRUE(desktop.adjusted(-4, -4, 4, 4).contains(at)) << saved.x() << " " << at.x();
        EXPECT_EQ(window->width(), std::min(saved.width(), desktop.width()));
    }

    // Garbage: the window spans the desktop's width; widths that parse are
    // still taken, those that do not are not.
    for (const char* wnd : {"12,abc", "1,2,3,4,5", "1,2,3,4,5,6,7"}) {
        window.reset();
        store.WriteString("Settings", "wnd", wnd);
        store.WriteString("Settings", "wndlists", "150,70,120");
        store.WriteString("Settings", "wndlistt", "150,x,120");
        Open();
        EXPECT_EQ(window->frameGeometry().left(), desktop.left()) << wnd;
        EXPECT_GE(window->frameGeometry().width(), desktop.width()) << wnd;
        EXPECT_EQ(window->List(S::Source)->Header()->sectionSize(1), 150) << wnd;
        EXPECT_EQ(window->List(S::Target)->Header()->sectionSize(1), 125) << wnd;
    }
}

TEST_F(ResultsCommandsTest, Visualise_ViewerInFolderWithBlank_GetsEachPathAsOneArgument) {
    const std::string odd = "it's \"odd\" name.txt";
    source.Write(odd, "a");
    target.Write(odd, "b");
    Compare({R"(\.bak$)"});
    Open();
    const std::string output = home.Path() + "/arguments";
    settings.comparisonProgram = ViewerScript(output);
    struct Case {
        const char* parameters;
        std::string expected;
    };
    const Case cases[] = {
        {R"("%s1" "%s2")", source.Full(odd) + "\n" + target.Full(odd) + "\n"},
        {R"(-L "left side" --right=%s2 %s1)",
         "-L\nleft side\n--right=" + source.Full(odd) + "\n" + target.Full(odd) + "\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(output);
        settings.comparisonParameters = c.parameters;
        Click(S::Target, {ItemOf(odd)});
        WithContextMenu(S::Target, [](QMenu& menu) { Pick(menu, "Visualise Differences"); });
        EXPECT_EQ(ReadWhenThere(output), c.expected) << c.parameters;
    }
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{});
    settings.comparisonParameters = R"("%s1" "%s2")";

    // More than one pair: asked first; No starts nothing.
    prompter.Script({false});
    settings.comparisonProgram = "/nonexistent/viewer";
    Click(S::Source, {ItemOf("same.txt"), ItemOf("new.txt"), ItemOf("only-source.txt")});
    WithContextMenu(S::Source, [](QMenu& menu) { Pick(menu, "Visualise Differences"); });
    ASSERT_EQ(prompter.Log().size(), 1u);
    EXPECT_EQ(prompter.Log()[0].kind, "yesno-warning");
    EXPECT_EQ(prompter.Log()[0].text,
              "You have chosen to visualise differences between more "
              "then 1 couple of files: do you wish to continue?");
}

TEST_F(ResultsCommandsTest, Visualise_ProgramThatCannotStart_SaysSoAndTriesOnceMoreAfterSettings) {
    const std::string output = home.Path() + "/arguments";
    const std::string script = ViewerScript(output);
    settings.comparisonProgram = "/nonexistent/viewer";
    WhenShown<GeneralSettingsDialog>([&](GeneralSettingsDialog& dialog) {
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
            if (edit->text() == "/nonexistent/viewer")
                edit->setText(QString::fromStdString(script));
        }
        dialog.accept();
    });
    Click(S::Source, {ItemOf("same.txt")});
    WithContextMenu(S::Source, [](QMenu& menu) { Pick(menu, "Visualise Differences"); });
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Unable to run: /nonexistent/viewer \"" +
                                                         source.Full("same.txt") + "\" \"" +
                                                         target.Full("same.txt") + "\""});
    EXPECT_EQ(ReadWhenThere(output),
              source.Full("same.txt") + "\n" + target.Full("same.txt") + "\n");
    EXPECT_EQ(settings.comparisonProgram, script);

    // No program at all: the user is asked to locate one; Cancel goes on with none.
    settings.comparisonProgram.clear();
    WhenShown<GeneralSettingsDialog>([](GeneralSettingsDialog& dialog) {
        dialog.reject();
        WhenShown<GeneralSettingsDialog>([](GeneralSettingsDialog& again) { again.reject(); });
    });
    Click(S::Source, {ItemOf("same.txt")});
    WithContextMenu(S::Source, [](QMenu& menu) { Pick(menu, "Visualise Differences"); });
    const std::vector<std::string> texts = prompter.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "Please locate File Comparison Program.");
    EXPECT_TRUE(texts[2].starts_with("Unable to run: ")) << texts[2];
}

TEST_F(ResultsCommandsTest, Visualise_RemoteSide_FetchedToATemporaryFileGoneWhenTheViewerEnds) {
    // A local side stands in for the server: the fetch is the same CopyIn.
    LocalFileSystem remote;
    const ResultsContext context{comparer, settings, store, prompter, pickers, "Ravelmoor"};
    const std::string output = home.Path() + "/arguments";
    std::string folder;
    {
        DesktopViewerHost host(context, nullptr, &remote, nullptr);
        PathPair pair{source.Full("new.txt"), target.Full("new.txt")};
        ASSERT_TRUE(host.MakeLocal(pair).Ok());
        EXPECT_EQ(pair.source, source.Full("new.txt"));
        ASSERT_NE(pair.target, target.Full("new.txt"));
        EXPECT_TRUE(pair.target.ends_with("/new.txt")) << pair.target;
        folder = std::filesystem::path(pair.target).parent_path().string();
        std::ifstream fetched(pair.target);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(fetched), {}), target.Read("new.txt"));
        ASSERT_TRUE(host.Start(
            MakeViewerCommand(ViewerScript(output), R"("%s1" "%s2")", pair.source, pair.target)));
        EXPECT_EQ(ReadWhenThere(output), pair.source + "\n" + pair.target + "\n");
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !std::filesystem::exists(folder); }, 10000)) << folder;

    // A file the side cannot give: said, with its path; nothing left behind.
    DesktopViewerHost host(context, nullptr, &remote, nullptr);
    PathPair gone{source.Full("new.txt"), target.Full("gone.txt")};
    const FetchOutcome problem = host.MakeLocal(gone);
    EXPECT_EQ(problem.status, FetchStatus::Failed);
    EXPECT_TRUE(problem.reason.starts_with("Can not download " + target.Full("gone.txt") + ": "))
        << problem.reason;
}

class MainWindowResultsTest : public MainWindowFixture {};

TEST_F(MainWindowResultsTest, Compare_OpensTheResultsWindowOverTheResults_BackWhenItCloses) {
    tree.Write("s/a.txt", "a");
    tree.Write("t/b.txt", "b");
    window->SetResultsHandler(ShowResultsWindow);
    std::string title;
    int rows = -1;
    WhenShown<ResultsWindow>([&](ResultsWindow& results) {
        title = results.windowTitle().toStdString();
        rows = results.Model(S::Source)->rowCount();
        QTest::mouseClick(results.CloseButton(), Qt::LeftButton);
    });
    Compare(tree.Full("s"), tree.Full("t"));
    EXPECT_EQ(title, window->ResultsTitle());
    EXPECT_EQ(rows, 2);
    EXPECT_FALSE(store.ReadString("Settings", "wnd", "").empty());
}

}  // namespace
}  // namespace ravelmoor::test

namespace ravelmoor::test {
namespace {

// F5 compares again and the new window keeps the method, the view, the tree
// and the filter text of the one it replaces.
TEST_F(MainWindowResultsTest, CompareAgain_NewWindowKeepsMethodAndView) {
    tree.Write("s/a.txt", "a");
    tree.Write("t/b.txt", "b");
    window->SetResultsHandler(ShowResultsWindow);
    WhenShown<ResultsWindow>([&](ResultsWindow& results) {
        results.ChooseMethod(SyncMethod::Update);
        QTest::mouseClick(results.Toggle(ViewToggle::Matched), Qt::LeftButton);
        results.Shaping()->SetTreeMode(true);
        results.Shaping()->SetFilterText("a");
        results.CompareAgain();
    });
    std::optional<ResultsView> seen;
    bool second = false;
    Compare(tree.Full("s"), tree.Full("t"));
    WhenShown<ResultsWindow>([&](ResultsWindow& results) {
        second = true;
        seen = results.CurrentView();
        results.reject();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return second; }, 10000));
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->method, SyncMethod::Update);
    ViewToggles expected = *DefaultView(SyncMethod::Update);
    expected.matched = !expected.matched;
    EXPECT_EQ(seen->toggles, expected);
    EXPECT_TRUE(seen->tree);
    EXPECT_EQ(seen->filter, "a");
}

}  // namespace
}  // namespace ravelmoor::test
