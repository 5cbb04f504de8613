#include <QApplication>
#include <QEvent>
#include <QPushButton>

#include "core/ftp/FtpConnectionStore.h"
#include "gui/progress/ProgressDialog.h"
#include "support/FtpTestServer.h"
#include "support/MainWindowFixture.h"

namespace ravelmoor {
namespace {

using ServerCompareTest = test::MainWindowFixture;

// Notes the title of every progress dialog as it shows: a compare that ends
// quickly closes its dialog before a polling timer could see it.
class ShownTitles : public QObject {
  public:
    ShownTitles() { qApp->installEventFilter(this); }
    ~ShownTitles() override { qApp->removeEventFilter(this); }
    std::vector<std::string> titles;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<ProgressDialog*>(watched))
                titles.push_back(dialog->windowTitle().toStdString());
        return false;
    }
};

// "Compare" with a side on an FTP server on loopback. The stored connection
// is looked up, and the server logged on to, off the window's thread (the
// tests' main stops the binary otherwise), behind the comparison's progress
// dialog, which says whom it connects to; its Cancel stops a logon that the
// server never answers, without a message.
TEST_F(ServerCompareTest, SidesOpenOffTheWindowsThreadBehindTheDialog) {
    struct Case {
        const char* what;
        std::vector<std::string> flags;
        bool serverIsSource;
        bool cancel;
        ComparisonPhase phase;
        int results;
    };
    const Case cases[] = {
        {"server as Source", {}, true, false, ComparisonPhase::Completed, 1},
        {"server as Target", {}, false, false, ComparisonPhase::Completed, 1},
        {"logon never answered",
         {"--hang-greeting"},
         true,
         true,
         ComparisonPhase::EndedWithoutResult,
         0},
    };
    test::TempTree served;
    served.Write("a.txt", "same", 1000);
    tree.Write("local/a.txt", "same", 1000);
    for (const Case& c : cases) {
        test::FtpTestServer server(served.Path(), {}, {}, c.flags);
        ASSERT_TRUE(server.Running()) << c.what;
        ASSERT_TRUE(
            FtpConnectionStore(store).WriteConnection("box", server.Connection("/")).stored);
        const std::string connecting = "Connecting to " + server.Server() + "...";
        ShownTitles shown;
        bool sawConnecting = false;
        if (c.cancel) {
            test::WhenShown<ProgressDialog>([&](ProgressDialog& progress) {
                sawConnecting = QTest::qWaitFor(
                    [&] { return progress.Line().toStdString() == connecting; }, 10000);
                QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
            });
        }
        const int before = resultsShown;
        const std::string remote = "(ftp) box";
        const std::string local = tree.Full("local");
        Compare(c.serverIsSource ? remote : local, c.serverIsSource ? local : remote);

        EXPECT_EQ(shown.titles, std::vector<std::string>{"Comparing Files and Sub-Folders..."})
            << c.what;
        EXPECT_EQ(sawConnecting, c.cancel) << c.what;
        EXPECT_EQ(window->LastPhase(), c.phase) << c.what;
        EXPECT_EQ(resultsShown - before, c.results) << c.what;
        EXPECT_EQ(prompter.Texts(), std::vector<std::string>{}) << c.what;
        EXPECT_EQ(window->LastSourceFtp().server, c.serverIsSource ? server.Server() : "")
            << c.what;
        EXPECT_EQ(test::FindVisibleWindow<ProgressDialog>(), nullptr) << c.what;
    }
}

}  // namespace
}  // namespace ravelmoor
