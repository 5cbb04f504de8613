#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

#include "core/settings/SettingsStore.h"
#include "gui/ftp/FtpConnectionsDialog.h"
#include "gui/ftp/FtpDirectoryDialog.h"
#include "gui/ftp/FtpDirectoryTree.h"
#include "gui/sftp/SftpDirectoryDialog.h"
#include "gui/sftp/SftpDirectoryTree.h"
#include "support/FtpTestServer.h"
#include "support/ScriptedPrompter.h"
#include "support/SshTestServer.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using Kind = RemoteDirectoryTree::ItemKind;
using Names = std::vector<std::string>;
using namespace std::chrono_literals;

// The browser once its tree is up and no call is under way (or it has closed).
bool Settled(const RemoteDirectoryDialog& dialog) {
    return QTest::qWaitFor([&] { return dialog.Ready() || !dialog.isVisible(); }, 30000);
}

// The names under `item`, sorted (servers list in their own order), a folder
// marked with '/', a placeholder for a level not yet listed with '?'.
Names Children(const QTreeWidgetItem* item) {
    Names names;
    for (int i = 0; i < item->childCount(); ++i) {
        const Kind kind = RemoteDirectoryTree::KindOf(item->child(i));
        names.push_back(RemoteDirectoryTree::NameOf(item->child(i)) + (kind == Kind::Folder ? "/"
                                                                       : kind == Kind::Placeholder
                                                                           ? "?"
                                                                           : ""));
    }
    std::sort(names.begin(), names.end());
    return names;
}

QTreeWidgetItem* Child(QTreeWidgetItem* item, const std::string& name) {
    for (int i = 0; item != nullptr && i < item->childCount(); ++i) {
        if (RemoteDirectoryTree::NameOf(item->child(i)) == name) return item->child(i);
    }
    ADD_FAILURE() << "no item " << name;
    return nullptr;
}

// The item at the absolute `path`, following the listed levels ("" is the root).
QTreeWidgetItem* Find(const RemoteDirectoryTree& tree, const std::string& path) {
    QTreeWidgetItem* item = tree.topLevelItem(0);
    for (size_t start = 1; item != nullptr && start < path.size();) {
        const size_t end = std::min(path.find('/', start), path.size());
        item = Child(item, path.substr(start, end - start));
        start = end + 1;
    }
    return item;
}

class RemoteDirectoryDialogTest : public ::testing::Test {
  protected:
    RemoteDirectoryDialogTest() {
        served.Write("pub/docs/readme.txt", "r");
        served.Write("pub/docs/guide/intro.txt", "i");
        served.Write("pub/notes.txt", "n");
        served.Write("other/deep/x.txt", "x");
        served.Write("top.txt", "t");
        // Versions a sync kept: no level of the browser shows them.
        served.Write(".ravelmoor-versions/2026-01-02-030405/top.txt", "old t");
        served.Write("pub/docs/.ravelmoor-versions/2026-01-02-030405/readme.txt", "old r");
    }

    std::unique_ptr<RemoteDirectoryDialog> Browse(const FtpConnection& connection,
                                                  std::chrono::milliseconds deadline = 30s) {
        auto dialog = std::make_unique<FtpDirectoryDialog>(connection, "title", false, prompter);
        dialog->Tree()->SetAnswerDeadline(deadline);
        tree = dialog->Tree();
        return Shown(std::move(dialog));
    }
    std::unique_ptr<RemoteDirectoryDialog> Browse(const SftpConnection& connection) {
        auto dialog = std::make_unique<SftpDirectoryDialog>(connection, "title", false, prompter);
        tree = dialog->Tree();
        return Shown(std::move(dialog));
    }

    test::TempTree served;
    test::ScriptedPrompter prompter;
    RemoteDirectoryTree* tree = nullptr;  // the last browser's

  private:
    static std::unique_ptr<RemoteDirectoryDialog> Shown(
        std::unique_ptr<RemoteDirectoryDialog> dialog) {
        dialog->show();
        EXPECT_TRUE(Settled(*dialog));
        return dialog;
    }
};

// Over FTP (the parameter true: the server's root is the served folder) and
// over SFTP (whose paths name the served folder itself).
class BothServers : public RemoteDirectoryDialogTest, public ::testing::WithParamInterface<bool> {};

INSTANTIATE_TEST_SUITE_P(Servers, BothServers, ::testing::Values(true, false),
                         [](const auto& ftp) { return ftp.param ? "Ftp" : "Sftp"; });

TEST_P(BothServers, OpenExpandsEachLevelOfTheDirectory_ExpandListsOneLevelAfresh) {
    std::unique_ptr<test::FtpTestServer> ftp;
    std::unique_ptr<test::SshTestServer> sftp;
    std::unique_ptr<RemoteDirectoryDialog> dialog;
    const std::string top = GetParam() ? "" : served.Path();
    prompter.SetDefaultAnswer(true);  // the SFTP host key
    if (GetParam()) {
        ftp = std::make_unique<test::FtpTestServer>(served.Path());
        dialog = Browse(ftp->Connection("/pub/docs/"));
    } else {
        sftp = std::make_unique<test::SshTestServer>();
        ASSERT_TRUE(sftp->Running());
        dialog = Browse(sftp->Connection(top + "/pub/docs/"));
    }
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "/");
    QTreeWidgetItem* opened = Find(*tree, top);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(Children(opened), (Names{"other/", "pub/", "top.txt"}));
    QTreeWidgetItem* pub = Child(opened, "pub");
    QTreeWidgetItem* docs = Child(pub, "docs");
    EXPECT_TRUE(opened->isExpanded() && pub->isExpanded() && docs->isExpanded());
    EXPECT_EQ(Children(docs), (Names{"guide/", "readme.txt"}));
    // Not yet listed: a placeholder under each folder, nothing under a file.
    QTreeWidgetItem* other = Child(opened, "other");
    EXPECT_FALSE(other->isExpanded());
    EXPECT_EQ(Children(other), Names{"1?"});
    EXPECT_EQ(Children(Child(docs, "guide")), Names{"1?"});
    EXPECT_EQ(Children(Child(docs, "readme.txt")), Names{});
    EXPECT_TRUE(tree->selectedItems().isEmpty());
    EXPECT_EQ(dialog->PathBox()->text(), "");

    other->setExpanded(true);
    ASSERT_TRUE(Settled(*dialog));
    EXPECT_EQ(Children(other), Names{"deep/"});
    EXPECT_EQ(Children(Child(other, "deep")), Names{"1?"});
    served.Write("other/later.txt", "l");
    other->setExpanded(false);
    other->setExpanded(true);
    ASSERT_TRUE(Settled(*dialog));
    EXPECT_EQ(Children(other), (Names{"deep/", "later.txt"}));

    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_EQ(dialog->PathBox()->text(), "/");
    tree->setCurrentItem(Child(other, "deep"));
    EXPECT_EQ(dialog->PathBox()->text().toStdString(), top + "/other/deep");
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->Path(), top + "/other/deep");
    for (const auto& told : prompter.Log())
        EXPECT_EQ(told.kind, "yesno") << told.text;
}

TEST_F(RemoteDirectoryDialogTest, FtpOpen_FileAtTheEndOfTheWalkIsSelectedInBold) {
    test::FtpTestServer server(served.Path());
    struct Case {
        std::string directory, selected;
    };
    for (const Case& c : std::vector<Case>{{"/pub/notes.txt", "/pub/notes.txt"},
                                           {"pub//docs/readme.txt/", "/pub/docs/readme.txt"},
                                           {"/pub/missing/notes.txt", ""}}) {
        auto dialog = Browse(server.Connection(c.directory));
        const QList<QTreeWidgetItem*> selected = tree->selectedItems();
        ASSERT_EQ(selected.size(), c.selected.empty() ? 0 : 1) << c.directory;
        EXPECT_EQ(dialog->PathBox()->text().toStdString(), c.selected);
        if (!selected.isEmpty()) {
            EXPECT_TRUE(selected.front()->font(0).bold());
        }
    }
}

TEST_F(RemoteDirectoryDialogTest, FtpOk_TakesTypedPathsWhoseFirstLevelIsUnderTheRoot) {
    test::FtpTestServer server(served.Path());
    auto dialog = Browse(server.Connection(""));
    struct Case {
        const char* typed;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"/", true},     {"///", true},       {"/pub/nonexistent", true},
        {"pub", true},   {"//top.txt", true}, {"/nothere/", false},
        {"/Pub", false}, {"", false},
    };
    for (const Case& c : cases) {
        dialog->show();
        dialog->PathBox()->setText(c.typed);
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        EXPECT_EQ(!dialog->isVisible(), c.accepted) << c.typed;
        if (c.accepted) {
            EXPECT_EQ(dialog->Path(), c.typed);
        }
    }
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(RemoteDirectoryDialogTest, FtpRefusedLogon_ClosesWithTheErrorAndLeavesTheConnectionAlone) {
    test::FtpTestServer guarded(served.Path(), "anna", "right");
    // Without a user it logs on anonymously, but names the user as the record has it.
    FtpDirectoryDialog browser({guarded.Server(), "", "", "/pub/"}, "title", false, prompter);
    browser.show();
    ASSERT_TRUE(Settled(browser));
    EXPECT_FALSE(browser.isVisible());
    EXPECT_EQ(browser.result(), QDialog::Rejected);
    ASSERT_EQ(browser.Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(browser.Tree()->topLevelItem(0)->text(0), FtpDirectoryTree::kNoConnection);
    const std::string tail = " Server:" + guarded.Server() + " User:";
    ASSERT_EQ(prompter.Texts().size(), 1u);
    const std::string message = prompter.Texts().front();
    EXPECT_GT(message.size(), tail.size());
    EXPECT_EQ(message.substr(message.size() - tail.size()), tail) << message;

    // Through the connections dialog: the same message, and the fields stay.
    test::TempConfigHome home;
    SettingsStore store;
    FtpConnectionsDialog connections(store, prompter);
    connections.show();
    QTest::keyClicks(connections.ServerBox(), QString::fromStdString(guarded.Server()));
    QTest::keyClicks(connections.DirectoryBox(), "/keep/");
    QTest::mouseClick(connections.BrowseButton(), Qt::LeftButton);
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{message, message}));
    EXPECT_EQ(connections.DirectoryBox()->text(), "/keep/");
    EXPECT_EQ(connections.Name(), guarded.Server() + "/keep/");
}

TEST_F(RemoteDirectoryDialogTest, FtpSilentServer_IsGivenUpAtTheDeadlineWithAMessage) {
    test::FtpTestServer silent(served.Path(), {}, {}, {"--hang-listing"});
    auto dialog = Browse(silent.Connection("/pub/"), 300ms);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{"The FTP server did not answer within 1 second. Server:" +
                                       silent.Server() + " User:anonymous"});
}

// The host key is asked about once (fingerprint shown): No closes the
// browser and remembers nothing, Yes opens it, and it is not asked again.
TEST_F(RemoteDirectoryDialogTest, SftpUnknownHostIsAskedOnce) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    for (const bool trust : {false, true, true}) {
        prompter.SetDefaultAnswer(trust);
        auto dialog = Browse(server.Connection(served.Root()));
        EXPECT_EQ(dialog->isVisible(), trust);
        if (!trust) {
            EXPECT_EQ(tree->topLevelItem(0)->text(0), "SFTP connection has not been established.");
        }
    }
    ASSERT_EQ(prompter.Log().size(), 2u);
    for (const auto& asked : prompter.Log()) {
        EXPECT_EQ(asked.kind, "yesno");
        EXPECT_NE(asked.text.find("SHA256:"), std::string::npos) << asked.text;
    }
}

// A server that cannot be used says why, naming the server; a connection
// that breaks while browsing says so too and leaves the browser usable.
TEST_F(RemoteDirectoryDialogTest, SftpServerProblemsAreNamedAndTheBrowserStaysUsable) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    const std::string site = served.Root();
    prompter.SetDefaultAnswer(true);
    Browse(server.Connection(site));  // the host key is now known
    server.ChangeHostKey();
    SftpConnection stranger = server.Connection(site);
    stranger.keyFile = server.StrangerKey();
    struct Case {
        const char* what;
        std::function<SftpConnection()> connection;
        std::vector<std::string> says;
        size_t told = 1;  // a changed key is never asked about
    };
    const std::vector<Case> cases = {
        {"changed key", [&] { return server.Connection(site); }, {"has changed", "SHA256:"}},
        {"unknown user key",
         [&] {
             // The changed key is taken as known, so that the logon is reached.
             std::remove(server.KnownHosts().c_str());
             return stranger;
         },
         {"127.0.0.1:" + std::to_string(server.Port()) + " refused the logon of "},
         2},
    };
    for (const Case& c : cases) {
        test::ScriptedPrompter told;
        told.SetDefaultAnswer(true);
        SftpDirectoryDialog dialog(c.connection(), "title", false, told);
        dialog.show();
        ASSERT_TRUE(Settled(dialog));
        EXPECT_FALSE(dialog.isVisible()) << c.what;
        ASSERT_EQ(told.Log().size(), c.told) << c.what;
        const std::string text = told.Log().back().text;
        EXPECT_EQ(told.Log().back().kind, "warn") << c.what;
        for (const std::string& words : c.says)
            EXPECT_NE(text.find(words), std::string::npos) << c.what << ": " << text;
    }

    test::ScriptedPrompter told;
    SftpDirectoryDialog dialog(server.Connection(site), "title", false, told);
    dialog.show();
    ASSERT_TRUE(Settled(dialog));
    ASSERT_TRUE(dialog.isVisible());
    server.Kill();
    Child(Find(*dialog.Tree(), served.Path()), "pub")->setExpanded(true);
    ASSERT_TRUE(Settled(dialog));
    ASSERT_EQ(told.Log().size(), 1u);
    const std::string text = told.Log()[0].text;
    EXPECT_NE(text.find("connection was lost"), std::string::npos) << text;
    EXPECT_NE(text.find("SFTP on 127.0.0.1:"), std::string::npos) << text;
    EXPECT_EQ(text.find("Server:"), std::string::npos) << text;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.Tree()->isEnabled());
    QTest::keyClicks(dialog.PathBox(), "x");
    EXPECT_EQ(dialog.PathBox()->text().toStdString().back(), 'x');
}

}  // namespace
}  // namespace ravelmoor
