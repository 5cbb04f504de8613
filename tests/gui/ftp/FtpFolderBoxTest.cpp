#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

#include "gui/ftp/FtpConnectionsDialog.h"
#include "gui/ftp/FtpDirectoryDialog.h"
#include "gui/ftp/FtpDirectoryTree.h"
#include "gui/settings/SettingsMenu.h"
#include "support/FtpTestServer.h"
#include "support/MainWindowFixture.h"

namespace ravelmoor {
namespace {

using FtpFolderBoxTest = test::MainWindowFixture;

QToolButton* ButtonWithTooltip(QWidget& window, const QString& tooltip) {
    for (auto* button : window.findChildren<QToolButton*>()) {
        if (button->toolTip() == tooltip) return button;
    }
    ADD_FAILURE() << "no button " << tooltip.toStdString();
    return nullptr;
}

// From an empty store to a comparison: a connection made in the dialog, its
// directory picked in the server's tree, the connection put into the Source
// box, compared with a local folder.
TEST_F(FtpFolderBoxTest, ConnectionMadeAndBrowsedInTheDialog_IsComparedAsTheSource) {
    test::TempTree served;
    served.Write("pub/a.txt", "same");
    served.Write("pub/only-on-server.txt", "x");
    served.Write("elsewhere/b.txt", "b");
    test::FtpTestServer server(served.Path());
    ASSERT_TRUE(server.Running());
    tree.Write("local/a.txt", "same");
    const QString host = QString::fromStdString(server.Server());

    test::WhenShown<FtpConnectionsDialog>([&](FtpConnectionsDialog& dialog) {
        QTest::keyClicks(dialog.ServerBox(), host);
        test::WhenWindowShows(
            [] {
                auto* browser = test::FindVisibleWindow<FtpDirectoryDialog>();
                return browser != nullptr && browser->Ready() ? browser : nullptr;
            },
            [](QWidget& shown) {
                auto& browser = static_cast<FtpDirectoryDialog&>(shown);
                QTreeWidgetItem* root = browser.Tree()->topLevelItem(0);
                for (int i = 0; i < root->childCount(); ++i) {
                    if (root->child(i)->text(0) == "pub")
                        browser.Tree()->setCurrentItem(root->child(i));
                }
                QTest::mouseClick(browser.OkButton(), Qt::LeftButton);
            });
        QTest::mouseClick(dialog.BrowseButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    QTest::mouseClick(ButtonWithTooltip(*window, "Use an FTP connection as the Source"),
                      Qt::LeftButton);
    const std::string name = server.Server() + "/pub";
    EXPECT_EQ(window->SourceBox()->Text(), "(ftp) " + name);

    Compare(window->SourceBox()->Text(), tree.Full("local"));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{});
    ASSERT_EQ(resultsShown, 1);
    EXPECT_TRUE(window->LastSourceFtp().passive);
    EXPECT_EQ(window->LastSourceFtp().user, "anonymous");

    // The menu opens the same dialog, still on that connection; Cancel
    // changes no box.
    std::string shownName;
    test::WhenShown<FtpConnectionsDialog>([&](FtpConnectionsDialog& dialog) {
        shownName = dialog.NameBox()->currentText().toStdString();
        dialog.reject();
    });
    window->Menu()->ftpConnections->trigger();
    EXPECT_EQ(shownName, name);
    EXPECT_EQ(window->SourceBox()->Text(), "(ftp) " + name);
    EXPECT_EQ(window->TargetBox()->Text(), tree.Full("local"));
}

}  // namespace
}  // namespace ravelmoor
