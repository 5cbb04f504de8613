#include <QPushButton>

#include "core/ftp/FtpConnectionStore.h"
#include "gui/progress/ProgressDialog.h"
#include "support/FtpTestServer.h"
#include "support/MainWindowFixture.h"

namespace ravelmoor {
namespace {

using ServerCompareTest = test::MainWindowFixture;

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
        std::string title;
        bool sawConnecting = false;
        test::WhenShown<ProgressDialog>([&](ProgressDialog& progress) {
            title = progress.windowTitle().toStdString();
            if (!c.cancel) return;
            sawConnecting =
                QTest::qWaitFor([&] { return progress.Line().toStdString() == connecting; }, 10000);
            QTest::mouseClick(progress.CancelButton(), Qt::LeftButton);
        });
        const int before = resultsShown;
        const std::string remote = "(ftp) box";
        const std::string local = tree.Full("local");
        Compare(c.serverIsSource ? remote : local, c.serverIsSource ? local : remote);

        EXPECT_EQ(title, "Comparing Files and Sub-Folders...") << c.what;
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
