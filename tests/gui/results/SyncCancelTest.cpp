#include <QPushButton>
#include <QTest>
#include <atomic>
#include <thread>

#include "gui/progress/ProgressDialog.h"
#include "gui/results/ResultsFixture.h"
#include "support/FaultyFileSystem.h"

namespace ravelmoor::test {
namespace {

using namespace std::chrono_literals;

class SyncCancelTest : public ResultsTest {
  protected:
    void SetUp() override {
        ResultsTest::SetUp();
        WriteEachStatus(1000, 2000);
    }
};

// A copy held after its first piece is cancelled from the window's progress
// dialog: the file in hand is left as it was in Target (an existing one
// untouched, no temporary file beside it), what was done before it is
// compared again, and the window carries out the whole sync afterwards.
TEST_F(SyncCancelTest, CancelInsideACopy_LeavesTheDestinationAsItWasAndTheWindowUsable) {
    struct Case {
        const char* held;
        int64_t time;
    };
    for (const Case& c : {Case{"new.txt", 2000}, Case{"only-source.txt", 1000}}) {
        SCOPED_TRACE(c.held);
        ClearTrees();
        WriteEachStatus(1000, 2000);
        const std::string content(3 << 20, 'x');
        source.Write(c.held, content, c.time);
        EmptyTrash();
        auto faulty = std::make_shared<FaultyFileSystem>();
        std::atomic<bool> reading{false};
        std::atomic<bool> released{false};
        faulty->ChangeWhileReading(source.Full(c.held), [&] {
            reading = true;
            while (!released)
                std::this_thread::sleep_for(1ms);
        });
        comparer.SetLocalFileSystem(faulty);
        Compare({R"(\.bak$)"});
        Open();
        const TreeState before = Snapshot(target);

        QString title;
        bool greyedAtOnce = false;
        WhenShown<ProgressDialog>([&](ProgressDialog& progress) {
            title = progress.windowTitle();
            EXPECT_TRUE(QTest::qWaitFor([&] { return reading.load(); }, 10000));
            QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
            greyedAtOnce = !progress.CancelButton()->isEnabled();
            released = true;
        });
        window->ChooseMethod(SyncMethod::Force);
        QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);

        EXPECT_EQ(title, "Synchronising...");
        EXPECT_TRUE(greyedAtOnce);
        const TreeState after = Snapshot(target);
        EXPECT_EQ(after.contains(c.held), before.contains(c.held));
        if (before.contains(c.held)) {
            EXPECT_EQ(after.at(c.held), before.at(c.held));
        }
        const TreeState sourceState = Snapshot(source);
        for (const auto& [path, state] : after)
            EXPECT_TRUE(before.contains(path) || sourceState.contains(path)) << path;
        EXPECT_FALSE(TrashedByOrigin().contains(target.Full(c.held)));
        EXPECT_EQ(Rows(comparer), FreshRows());
        EXPECT_TRUE(window->SummaryText().startsWith("Stopped after "))
            << window->SummaryText().toStdString();
        EXPECT_EQ(FindVisibleWindow<ProgressDialog>(), nullptr);

        QTest::mouseClick(window->SynchroniseButton(), Qt::LeftButton);
        EXPECT_EQ(target.Read(c.held), content);
        EXPECT_EQ(Rows(comparer), FreshRows());
        EXPECT_TRUE(window->SummaryText().startsWith("Synchronised in "))
            << window->SummaryText().toStdString();
    }
}

}  // namespace
}  // namespace ravelmoor::test
