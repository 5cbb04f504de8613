#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "gui/progress/BackgroundTask.h"
#include "gui/progress/ProgressDialog.h"
#include "gui/results/ResultsFixture.h"

namespace ravelmoor::test {
namespace {

using Figure = ProgressDialog::Figure;

// What the progress dialog shows of a run's snapshot: the objects and bytes
// done of the total (bytes on their way count, never past the plan), the
// rate and the time left once a moment has passed, the bar full only when
// every object is settled; an undo, which plans no bytes, has no bytes line
// and a rate in objects.
TEST(ProgressDialogTest, ShowsTheSnapshotsFigures) {
    struct Case {
        const char* name;
        RunSnapshot snapshot;
        const char* objects;
        const char* bytes;
        const char* rate;
        const char* left;
        int bar;
    };
    const Case cases[] = {
        {"nothing done yet",
         {4, 0, 10'000'000, 0, 0, 0.0},
         "0 of 4",
         "0 B of 10.0 MB",
         "...",
         "...",
         0},
        {"a quarter of a large file",
         {4, 0, 10'000'000, 0, 2'500'000, 1.0},
         "0 of 4",
         "2.5 MB of 10.0 MB",
         "2.5 MB/s",
         "0:03",
         250},
        {"settled and moving",
         {4, 2, 10'000'000, 5'000'000, 1'000'000, 2.0},
         "2 of 4",
         "6.0 MB of 10.0 MB",
         "3.0 MB/s",
         "0:01",
         600},
        {"copies done, deletions left",
         {4, 3, 10'000'000, 10'000'000, 0, 4.0},
         "3 of 4",
         "10.0 MB of 10.0 MB",
         "2.5 MB/s",
         "0:00",
         999},
        {"all settled",
         {4, 4, 10'000'000, 10'000'000, 0, 4.0},
         "4 of 4",
         "10.0 MB of 10.0 MB",
         "2.5 MB/s",
         "0:00",
         1000},
        {"an undo half way", {20, 10, 0, 0, 0, 5.0}, "10 of 20", "", "2.0 objects/s", "0:05", 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BackgroundTask task;
        ProgressDialog dialog(task, QStringLiteral("Synchronising..."), nullptr);
        dialog.Follow([&c] { return c.snapshot; });
        dialog.show();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return dialog.FigureText(Figure::Objects) == QString::fromUtf8(c.objects); }));
        EXPECT_EQ(dialog.FigureText(Figure::Bytes).toStdString(), c.bytes);
        EXPECT_EQ(dialog.FigureText(Figure::Rate).toStdString(), c.rate);
        EXPECT_EQ(dialog.FigureText(Figure::TimeLeft).toStdString(), c.left);
        EXPECT_EQ(dialog.Bar()->value(), c.bar);
        EXPECT_EQ(dialog.FigureText(Figure::SourceCount), QString());
    }
}

// Every progress dialog shown, as it was at its show and at its end; an
// event filter misses none, however short.
class ProgressWatcher : public QObject {
  public:
    struct Shown {
        std::string title;
        std::string line;     // at the show
        std::string objects;  // at the end
        std::string bytes;
        int bar = -1;
    };
    ProgressWatcher() { qApp->installEventFilter(this); }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* progress = qobject_cast<ProgressDialog*>(watched);
        if (progress == nullptr || event->type() != QEvent::Show) return false;
        const size_t index = shown.size();
        Shown now;
        now.title = progress->windowTitle().toStdString();
        now.line = progress->Line().toStdString();
        shown.push_back(now);
        connect(progress, &QDialog::finished, this, [this, index, progress] {
            shown[index].objects = progress->FigureText(Figure::Objects).toStdString();
            shown[index].bytes = progress->FigureText(Figure::Bytes).toStdString();
            shown[index].bar = progress->Bar()->value();
        });
        return false;
    }
    std::vector<Shown> shown;
};

// "N of N": the same on both sides of "of".
bool AtTheTotal(const std::string& text) {
    const size_t of = text.find(" of ");
    return of != std::string::npos && text.substr(0, of) == text.substr(of + 4);
}

class RunProgressTest : public ResultsTest {
  protected:
    void SetUp() override {
        ResultsTest::SetUp();
        WriteEachStatus(1000, 2000);
    }
};

// A real sync from the window, with a file large enough to be copied in
// many pieces: the dialog says what runs and ends at the totals, and after
// an undo the status bar says what the undo did instead of the sync's
// summary. The undo reads its journal behind the dialog, the window's event
// loop turning meanwhile (a timer ticks before the question comes).
TEST_F(RunProgressTest, SyncAndUndoShowTheirProgressAndTheUndoSaysWhatItDid) {
    source.Write("large.bin", std::string(size_t{6} << 20, 'x'), 2000);
    Compare({R"(\.bak$)"});
    Open();

    ProgressWatcher sync;
    window->ChooseMethod(SyncMethod::Force);
    QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
    ASSERT_EQ(sync.shown.size(), 1U);
    EXPECT_EQ(sync.shown[0].title, "Synchronising...");
    EXPECT_TRUE(AtTheTotal(sync.shown[0].objects)) << sync.shown[0].objects;
    EXPECT_TRUE(AtTheTotal(sync.shown[0].bytes)) << sync.shown[0].bytes;
    EXPECT_TRUE(sync.shown[0].bytes.starts_with("6.3 MB")) << sync.shown[0].bytes;
    EXPECT_EQ(sync.shown[0].bar, 1000);
    EXPECT_TRUE(window->SummaryText().startsWith("Synchronised in "))
        << window->SummaryText().toStdString();
    ASSERT_TRUE(window->UndoButton()->isEnabled());

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(0);
    int ticksBeforeQuestion = -1;
    WhenWindowShows(
        [] {
            QWidget* modal = QApplication::activeModalWidget();
            return modal != nullptr && modal->windowTitle() == "Undo Last Synchronisation"
                       ? modal
                       : nullptr;
        },
        [&](QWidget& confirm) {
            ticksBeforeQuestion = ticks;
            PressButton(confirm, QDialogButtonBox::Yes);
        });
    ProgressWatcher undo;
    QTest::mouseClick(window->UndoButton(), Qt::LeftButton);
    EXPECT_GT(ticksBeforeQuestion, 0);
    ASSERT_EQ(undo.shown.size(), 3U);
    EXPECT_EQ(undo.shown[0].title, "Undoing the synchronisation...");
    EXPECT_EQ(undo.shown[0].line, "Reading the journal...");
    EXPECT_EQ(undo.shown[1].title, "Undoing the synchronisation...");
    EXPECT_TRUE(AtTheTotal(undo.shown[1].objects)) << undo.shown[1].objects;
    EXPECT_EQ(undo.shown[1].bytes, "");
    EXPECT_EQ(undo.shown[2].title, "Re-Comparing files...");
    EXPECT_FALSE(target.Exists("large.bin"));
    EXPECT_TRUE(window->SummaryText().startsWith("Undone in "))
        << window->SummaryText().toStdString();
    EXPECT_TRUE(window->SummaryText().endsWith(" changes taken back."))
        << window->SummaryText().toStdString();
}

}  // namespace
}  // namespace ravelmoor::test
