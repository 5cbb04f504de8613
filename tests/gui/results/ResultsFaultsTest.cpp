#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>
#include <QTreeWidget>

#include "core/journal/UndoPlan.h"
#include "core/text/Formatting.h"
#include "gui/filters/FilterDialog.h"
#include "gui/filters/FilterListDialog.h"
#include "gui/main/Translations.h"
#include "gui/results/PreviewWindow.h"
#include "gui/results/ResultsFixture.h"
#include "gui/results/ResultsStatusBar.h"
#include "gui/results/UndoAction.h"
#include "gui/widgets/DarkPalette.h"
#include "gui/widgets/HelpWindow.h"
#include "gui/widgets/ReadableColour.h"
#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor::test {
namespace {

using S = ListSide;

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

class ResultsFaultsTest : public ResultsTest {
  protected:
    void WriteMany(int files) {
        for (int i = 0; i < files; ++i)
            source.Write("many/" + std::to_string(1000 + i) + ".txt", "x");
    }
};

// A dragged column is drawn in its new place at once, in both lists.
TEST_F(ResultsFaultsTest, HeaderDrag_BothListsRepaintAtOnce) {
    WriteEachStatus(1000, 2000);
    Compare();
    Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QApplication::processEvents();
    PaintCounter left(*window->List(S::Source)->viewport());
    PaintCounter right(*window->List(S::Target)->viewport());
    window->List(S::Source)->Header()->moveSection(3, 1);
    QApplication::processEvents();
    EXPECT_GT(left.count, 0);
    EXPECT_GT(right.count, 0);
    EXPECT_EQ(window->List(S::Target)->Header()->logicalIndex(1), 3);
}

// Widths saved while no vertical scroll bar was there fill the list; once
// one is, Name gives up its width, and the last column stays in view.
TEST_F(ResultsFaultsTest, SavedWidths_VerticalScrollBarAppears_LastColumnStaysInView) {
    WriteMany(200);
    Compare();
    Open();
    QApplication::processEvents();
    VirtualReportView* list = window->List(S::Source);
    const int bar = list->verticalScrollBar()->isVisible() ? list->verticalScrollBar()->width() : 0;
    ASSERT_GT(bar, 0);
    const int status = list->Header()->sectionSize(0);
    const int wide = list->viewport()->width() + bar - status - 75 - 110;
    window.reset();  // saves the placement
    const std::string widths = std::to_string(wide) + ",75,110";
    store.WriteString("Settings", "wndlists", widths);
    store.WriteString("Settings", "wndlistt", widths);
    Open();
    QApplication::processEvents();
    for (const S side : {S::Source, S::Target}) {
        list = window->List(side);
        EXPECT_LE(list->Header()->length(), list->viewport()->width());
        EXPECT_EQ(list->Header()->sectionSize(3), 110);
    }
}

// The selection pane grows with a large selection's counts rather than cutting them.
TEST_F(ResultsFaultsTest, SelectionPane_LargeSelection_TextNotCut) {
    WriteMany(50);
    Compare();
    for (size_t row = 0; row < comparer.SourceResults().GetSize(); ++row)
        comparer.SourceResults().ElementAt(row).size = 123'456'789'012'345;
    Open();
    window->List(S::Source)->setFocus();
    window->List(S::Source)->selectAll();
    QApplication::processEvents();
    const QLabel* pane = window->StatusBar()->SelectionLabel();
    EXPECT_TRUE(pane->text().startsWith("Files Selected: 50 Total Size: 6,172,839,450,617,250"))
        << pane->text().toStdString();
    EXPECT_GE(pane->width(), pane->fontMetrics().horizontalAdvance(pane->text()));
}

// The commands have Alt keys; Shift+F10 opens the context menu.
TEST_F(ResultsFaultsTest, Keys_AltKeysReachTheCommands_ShiftF10OpensTheMenu) {
    WriteEachStatus(1000, 2000);
    Compare();
    Open();
    window->ChooseMethod(SyncMethod::Update);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    bool previewed = false;
    WhenShown<PreviewWindow>([&](PreviewWindow& preview) {
        previewed = true;
        preview.reject();
    });
    // A button's Alt key clicks it a moment later, as a click shows.
    QTest::keyClick(window->focusWidget(), Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return previewed; }));
    prompter.Script({false});
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->focusWidget(), Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Log().empty(); }));
    EXPECT_EQ(prompter.Log().back().text, "Please confirm that you want to \"Update Target\"");
    bool menu = false;
    WhenShown<QMenu>([&](QMenu& shownMenu) {
        menu = true;
        shownMenu.close();
    });
    window->List(S::Source)->setFocus();
    QTest::keyClick(window->List(S::Source), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menu);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->focusWidget(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
}

// The help window closes with Escape; the Filters dialog's icon buttons
// answer to Insert, F2 and Delete.
TEST_F(ResultsFaultsTest, Keys_HelpClosesWithEscape_FilterButtonsHaveKeys) {
    HelpWindow* help = HelpWindow::Show(help_topics::kMain, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());

    FilterRules rules = {{"Exclude", "a"}, {"Include", "b"}};
    FilterListDialog filters(rules, prompter);
    filters.show();
    filters.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&filters));
    int edited = 0;
    for (const Qt::Key key : {Qt::Key_Insert, Qt::Key_F2}) {
        WhenShown<FilterDialog>([&](FilterDialog& dialog) {
            ++edited;
            dialog.reject();
        });
        auto* list = filters.findChild<QTreeWidget*>();
        list->setCurrentItem(list->topLevelItem(0));
        const int before = edited;
        filters.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&filters));
        QTest::keyClick(filters.focusWidget(), key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return edited > before; }));
    }
    EXPECT_EQ(edited, 2);
    filters.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&filters));
    QTest::keyClick(filters.focusWidget(), Qt::Key_Delete);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return filters.findChild<QTreeWidget*>()->topLevelItemCount() == 1; }));
    filters.accept();
    EXPECT_EQ(rules, (FilterRules{{"Include", "b"}}));
}

// An unticked check box stands out from its inside in the dark palette.
TEST(DarkPalette, UncheckedBox_FrameStandsOutFromItsInside) {
    const QString before = QApplication::style()->name();
    const QPalette palette = QApplication::palette();
    const QByteArray old = qgetenv("RAVELMOOR_PALETTE");
    qputenv("RAVELMOOR_PALETTE", "dark");
    ApplyPaletteFromEnvironment();
    QCheckBox box("x");
    box.resize(box.sizeHint());
    const QImage image = box.grab().toImage();
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator =
        box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    const QColor inside = image.pixelColor(indicator.center());
    double best = 1;
    for (int x = indicator.left(); x <= indicator.right(); ++x) {
        for (int y = indicator.top(); y <= indicator.bottom(); ++y) {
            const QColor pixel = image.pixelColor(x * image.width() / box.width(),
                                                  y * image.height() / box.height());
            best = std::max(best, ContrastRatio(pixel, inside));
        }
    }
    EXPECT_GE(best, 3.0);
    if (old.isEmpty()) {
        qunsetenv("RAVELMOOR_PALETTE");
    } else {
        qputenv("RAVELMOOR_PALETTE", old);
    }
    QApplication::setStyle(QStyleFactory::create(before));
    QApplication::setPalette(palette);
}

// The undo question: the method in the user's words, the roots in quotes,
// the counts apart from them, grouped as the user's locale groups them, and
// in the right plural form.
TEST(UndoQuestion, MethodCountsAndRoots_InEnglishAndGerman) {
    SyncJournal journal;
    journal.header.method = "Update Target";
    journal.header.source.shown = "/data/source/";
    journal.header.target.shown = "/data/target/";
    std::vector<UndoStep> steps(20000, UndoStep{});
    for (UndoStep& step : steps)
        step.kind = UndoStepKind::RemoveCreated;
    steps.push_back({});
    steps.back().kind = UndoStepKind::RemoveMadeFolder;
    struct Case {
        const char* locale;
        std::string question;
    };
    const Case cases[] = {
        {"en_GB",
         "Undo the synchronisation \"Update Target\" of \"/data/source/\" and "
         "\"/data/target/\"?\n" +
             FormatSize(20000) + " files it made go to the trash; 1 folder it made is removed."},
        {"de_DE", std::string("Die Synchronisation \"Ziel aktualisieren\" von \"/data/source/\" "
                              "und \"/data/target/\" "
                              "rückgängig machen?\n") +
                      FormatSize(20000) +
                      " Dateien, die sie angelegt hat, kommen in den Papierkorb; 1 Ordner, den sie "
                      "angelegt hat, wird entfernt."},
    };
    for (const Case& c : cases) {
        const Translations translations{QLocale(QString::fromLatin1(c.locale))};
        EXPECT_EQ(UndoAction::UndoQuestion(journal, steps), c.question) << c.locale;
    }
}

// A server has no trash: the undo question says that what the sync made
// there is deleted for good and that what it replaced or deleted there comes
// back from the versions the server keeps; the local side's steps still
// speak of the trash.
TEST(UndoQuestion, ServerSide_SaysWhatReallyHappensThere) {
    SyncJournal journal;
    journal.header.method = "Manual Copy";
    journal.header.source.shown = "/data/source/";
    journal.header.target.shown = "(sftp) box";
    journal.header.target.local = false;
    const auto step = [](UndoStepKind kind, bool target) {
        UndoStep made{};
        made.kind = kind;
        made.target = target;
        return made;
    };
    const std::vector<UndoStep> steps = {
        step(UndoStepKind::RemoveCreated, true),   step(UndoStepKind::RemoveCreated, true),
        step(UndoStepKind::RemoveCreated, false),  step(UndoStepKind::PutBackReplaced, true),
        step(UndoStepKind::PutBackDeleted, true),  step(UndoStepKind::PutBackDeleted, true),
        step(UndoStepKind::PutBackDeleted, false), step(UndoStepKind::RemoveMadeFolder, true),
    };
    struct Case {
        const char* locale;
        std::string question;
    };
    const Case cases[] = {
        {"en_GB",
         "Undo the synchronisation \"Manual Copy\" of \"/data/source/\" and \"(sftp) box\"?\n"
         "1 file it made goes to the trash; 2 files it made on the server are deleted for good; "
         "1 replaced file comes back from the versions kept on the server; 1 deleted object "
         "comes back from the trash; 2 deleted objects come back from the versions kept on the "
         "server; 1 folder it made is removed."},
        {"de_DE",
         "Die Synchronisation \"Manuelles Kopieren\" von \"/data/source/\" und \"(sftp) box\" "
         "rückgängig machen?\n"
         "1 Datei, die sie angelegt hat, kommt in den Papierkorb; 2 Dateien, die sie auf dem "
         "Server angelegt hat, werden endgültig gelöscht; 1 ersetzte Datei kommt aus den auf dem "
         "Server aufbewahrten Versionen zurück; 1 gelöschtes Objekt kommt aus dem Papierkorb "
         "zurück; 2 gelöschte Objekte kommen aus den auf dem Server aufbewahrten Versionen "
         "zurück; 1 Ordner, den sie angelegt hat, wird entfernt."},
    };
    for (const Case& c : cases) {
        const Translations translations{QLocale(QString::fromLatin1(c.locale))};
        EXPECT_EQ(UndoAction::UndoQuestion(journal, steps), c.question) << c.locale;
    }
}

}  // namespace
}  // namespace ravelmoor::test
