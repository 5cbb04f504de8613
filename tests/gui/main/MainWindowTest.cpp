#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>

#include "core/launch/CompareLaunch.h"
#include "core/settings/SettingsFile.h"
#include "gui/filters/FilterListDialog.h"
#include "gui/progress/ProgressDialog.h"
#include "gui/settings/SettingsMenu.h"
#include "gui/widgets/GeometryMemory.h"
#include "gui/widgets/GuiPrompter.h"
#include "support/FaultyFileSystem.h"
#include "support/MainWindowFixture.h"

namespace ravelmoor {
namespace {

using MainWindowTest = test::MainWindowFixture;

TEST_F(MainWindowTest, Launch_Refused_SaysWhyAndStartsNothing) {
    tree.MakeFolder("a");
    tree.MakeFolder("b");
    struct Case {
        std::string source, target, message;
    };
    const std::vector<Case> cases = {
        {"", tree.Full("b"), "Source folder not found."},
        {tree.Full("a"), "(ftp) Nope", "Target FTP connection not found"},
        {"(sftp) Nope", tree.Full("b"), "Source SFTP connection not found"},
    };
    for (const Case& c : cases) {
        const size_t before = prompter.Log().size();
        Compare(c.source, c.target);
        ASSERT_EQ(prompter.Log().size(), before + 1) << c.source << " | " << c.target;
        EXPECT_EQ(prompter.Log().back().kind, "warn");
        EXPECT_EQ(prompter.Log().back().text, c.message) << c.source << " | " << c.target;
    }
    EXPECT_EQ(resultsShown, 0);
    EXPECT_EQ(window->SourceBox()->count(), 0);
    EXPECT_EQ(window->LastPhase(), ComparisonPhase::Idle);

    // Enter in a folder box presses "Compare"; the boxes show the normalised texts.
    Type(window->SourceBox(), tree.Full("a") + "/");
    Type(window->TargetBox(), tree.Full("a"));
    QTest::keyClick(window->TargetBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(prompter.Texts().back(), "Source and Target Folders are the same.");
    EXPECT_EQ(window->SourceBox()->Text(), tree.Full("a"));
}

// A Target that is not there yet is offered to be made, as rsync and rclone
// make it: No leaves the disk as it was, Yes makes it (the folders above it
// too) and compares; a path held by a file is refused as before.
TEST_F(MainWindowTest, Launch_MissingTarget_OffersToMakeIt) {
    tree.Write("source/a.txt", "a");
    tree.Write("file", "x");
    struct Case {
        std::string target;
        bool answer;
        std::vector<std::string> shown;
        bool made;
        int results;
    };
    const std::string question = "Target folder not found. Make it?";
    const std::vector<Case> cases = {
        {tree.Full("backup/2026"), false, {question}, false, 0},
        {tree.Full("backup/2026"), true, {question}, true, 1},
        // No folder can be made in /proc: the system's reason is shown.
        {"/proc/ravelmoor-none/x",
         true,
         {question, "Cannot make the folder /proc/ravelmoor-none/x: No such file or directory"},
         false,
         1},
        {tree.Full("file"), true, {"Target folder not found."}, false, 1},
        {tree.Full("file/below"), true, {"Target folder not found."}, false, 1},
    };
    for (const Case& c : cases) {
        const size_t before = prompter.Log().size();
        prompter.Script({c.answer});
        Compare(tree.Full("source"), c.target);
        std::vector<std::string> shown;
        for (size_t k = before; k < prompter.Log().size(); ++k)
            shown.push_back(prompter.Log()[k].text);
        EXPECT_EQ(shown, c.shown) << c.target;
        EXPECT_EQ(IsExistingFolder(c.target), c.made) << c.target;
        EXPECT_EQ(resultsShown, c.results) << c.target;
    }
    EXPECT_EQ(window->LastPhase(), ComparisonPhase::Completed);
}

TEST_F(MainWindowTest, History_MostRecentFirst_AcrossLaunchesAndRestarts) {
    tree.MakeFolder("target");
    tree.MakeFolder("s0");
    tree.MakeFolder("s1");
    Compare(tree.Full("s0"), tree.Full("target"));
    Compare(tree.Full("s1"), tree.Full("target"));
    EXPECT_EQ(resultsShown, 2);
    EXPECT_EQ(Items(window->SourceBox()), (std::vector{tree.Full("s1"), tree.Full("s0")}));
    EXPECT_EQ(Items(window->TargetBox()), std::vector<std::string>{tree.Full("target")});

    // A folder already listed moves to the top, typed with another ending.
    Compare(tree.Full("s0") + "/", tree.Full("target"));
    const std::vector expected{tree.Full("s0"), tree.Full("s1")};
    EXPECT_EQ(Items(window->SourceBox()), expected);
    EXPECT_EQ(window->SourceBox()->Text(), tree.Full("s0"));

    Open();
    EXPECT_EQ(Items(window->SourceBox()), expected);
    EXPECT_EQ(window->SourceBox()->Text(), tree.Full("s0"));
    EXPECT_EQ(window->TargetBox()->Text(), tree.Full("target"));
}

TEST_F(MainWindowTest, Cancel_DuringSlowScan_GreysOutAndEndsWithoutResults) {
    for (int i = 0; i < 40; ++i)
        tree.Write("source/f" + std::to_string(i), "x");
    tree.MakeFolder("target");
    auto slow = std::make_shared<test::FaultyFileSystem>();
    slow->SlowEntries(std::chrono::milliseconds(50));
    window->LastComparison().Sides().SetLocalFileSystem(slow);

    bool greyedAtOnce = false;
    test::WhenShown<ProgressDialog>([&](ProgressDialog& progress) {
        EXPECT_EQ(progress.windowTitle(), "Comparing Files and Sub-Folders...");
        QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
        greyedAtOnce = !progress.CancelButton()->isEnabled();
    });
    Compare(tree.Full("source"), tree.Full("target"));

    EXPECT_TRUE(greyedAtOnce);
    EXPECT_EQ(window->LastPhase(), ComparisonPhase::EndedWithoutResult);
    EXPECT_EQ(resultsShown, 0);
    EXPECT_TRUE(prompter.Log().empty());
    EXPECT_EQ(test::FindVisibleWindow<ProgressDialog>(), nullptr);
}

// The worker asks while the progress dialog is up; its question is a message
// box on the user-interface thread, and the run waits for the answer.
TEST_F(MainWindowTest, WorkerQuestion_ShowsMessageBoxOverProgressAndWaitsForAnswer) {
    GuiPrompter boxes;
    Open(&boxes);
    for (const char* side : {"source", "target"}) {
        tree.Write(std::string(side) + "/a.txt", "same");
        tree.Write(std::string(side) + "/b.txt", "same");
    }
    auto faulty = std::make_shared<test::FaultyFileSystem>();
    faulty->FailOpen("source/b.txt");
    window->LastComparison().Sides().SetLocalFileSystem(faulty);
    window->Menu()->crc->trigger();

    for (const auto button : {QMessageBox::Cancel, QMessageBox::Ok}) {
        const int shownBefore = resultsShown;
        bool progressStayedUp = false;
        std::string question;
        test::WhenShown<QMessageBox>([&](QMessageBox& box) {
            progressStayedUp = test::FindVisibleWindow<ProgressDialog>() != nullptr;
            question = box.text().toStdString();
            EXPECT_EQ(box.icon(), QMessageBox::Question);
            box.button(button)->click();
        });
        Compare(tree.Full("source"), tree.Full("target"));
        EXPECT_TRUE(progressStayedUp);
        EXPECT_EQ(question.rfind("Warning: some file data could not be read.", 0), 0u) << question;
        EXPECT_EQ(resultsShown, shownBefore + (button == QMessageBox::Ok ? 1 : 0));
    }
}

TEST_F(MainWindowTest, CommandLineFile_LoadsAndComparesWithItsFiltersOnceTheWindowIsUp) {
    tree.Write("source/a.txt", "1");
    tree.Write("target/a.txt", "1");
    tree.Write("source/run.LOG", "only here");
    Settings file;
    file.sourceFolder = tree.Full("source");
    file.targetFolder = tree.Full("target");
    file.comparisonMethod = 1;
    file.filterRules = {{"Exclude", "\\.log$"}};
    ASSERT_TRUE(SaveChosenSettingsFile(tree.Full("run.zvs"), file).Ok());

    window->LoadSettingsFromCommandLine(tree.Full("run.zvs"));
    EXPECT_EQ(resultsShown, 0);  // not before the event loop has run
    EXPECT_TRUE(QTest::qWaitFor([&] { return resultsShown == 1; }, 10000));
    EXPECT_EQ(window->windowTitle().toStdString(), "Ravelmoor [" + tree.Full("run.zvs") + "]");
    EXPECT_EQ(window->LastComparison().Rules().method, ComparisonMethod::Crc);
    EXPECT_EQ(window->SourceBox()->Text(), tree.Full("source"));
    const FileList& rows = window->LastComparison().SourceResults();
    ASSERT_EQ(rows.GetSize(), 2u);
    EXPECT_EQ(rows.ElementAt(1).path.str(), "run.LOG");
    EXPECT_EQ(rows.ElementAt(1).excluded, 1);
}

}  // namespace
}  // namespace ravelmoor

namespace ravelmoor {
namespace {

// A folder dragged from a file manager fills the box it is dropped on;
// anything else is refused and leaves the box as it was.
TEST_F(MainWindowTest, DropOnAFolderBox_OneLocalFolderFillsIt_AnythingElseIsRefused) {
    tree.MakeFolder("dropped");
    tree.Write("file.txt", "f");
    struct Case {
        const char* what;
        QList<QUrl> urls;
        bool taken;
    };
    const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(tree.Full("dropped")));
    const std::vector<Case> cases = {
        {"a file", {QUrl::fromLocalFile(QString::fromStdString(tree.Full("file.txt")))}, false},
        {"two folders", {folder, folder}, false},
        {"a web address", {QUrl("https://127.0.0.1/x")}, false},
        {"a folder", {folder}, true},
    };
    for (const Case& c : cases) {
        Type(window->SourceBox(), "before");
        QMimeData data;
        data.setUrls(c.urls);
        QWidget* target = window->SourceBox()->lineEdit();
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken) << c.what;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_EQ(window->SourceBox()->Text(), c.taken ? tree.Full("dropped") : "before") << c.what;
    }
}

// "Swap" (Alt+W) exchanges the two boxes' texts, and again back.
TEST_F(MainWindowTest, Swap_ExchangesSourceAndTarget) {
    Type(window->SourceBox(), "/one");
    Type(window->TargetBox(), "(ftp) two");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::AltModifier);
    // The Alt key clicks the button a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->SourceBox()->Text() == "(ftp) two"; }));
    EXPECT_EQ(window->TargetBox()->Text(), "/one");
    QTest::mouseClick(window->SwapButton(), Qt::LeftButton);
    EXPECT_EQ(window->SourceBox()->Text(), "/one");
}

// A window opens where it was left, as large, on the same screen; it is
// kept under its own name and the screen's.
TEST_F(MainWindowTest, Geometry_KeptPerWindowAndScreen) {
    GeometryMemory memory(store);
    qApp->installEventFilter(&memory);
    const QRect placed(40, 50, 500, 320);
    FilterRules rules;
    QRect left;
    {
        FilterListDialog dialog(rules, prompter);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.setGeometry(placed);
        left = dialog.geometry();
        dialog.hide();
        const QString key = GeometryMemory::KeyOf(dialog);
        EXPECT_TRUE(key.startsWith("FilterListDialog@")) << key.toStdString();
        EXPECT_NE(store.ReadString("Geometry", key.toStdString(), ""), "");
    }
    FilterListDialog again(rules, prompter);
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    EXPECT_EQ(again.geometry(), left);
    EXPECT_EQ(again.geometry().topLeft(), placed.topLeft());
    again.hide();
    qApp->removeEventFilter(&memory);
}

}  // namespace
}  // namespace ravelmoor
