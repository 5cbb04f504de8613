#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "gui/sftp/SftpDirectoryDialog.h"
#include "gui/sftp/SftpDirectoryTree.h"
#include "support/ScriptedPrompter.h"
#include "support/SshTestServer.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using Kind = SftpDirectoryTree::ItemKind;

bool Settled(const SftpDirectoryDialog& dialog) {
    return QTest::qWaitFor([&] { return dialog.Ready() || !dialog.isVisible(); }, 30000);
}

// The names under `item`, sorted, with a mark for the kind of each.
std::vector<std::string> Children(const QTreeWidgetItem* item) {
    std::vector<std::string> names;
    for (int i = 0; i < item->childCount(); ++i) {
        const Kind kind = SftpDirectoryTree::KindOf(item->child(i));
        names.push_back(SftpDirectoryTree::NameOf(item->child(i)) + (kind == Kind::Folder ? "/"
                                                                     : kind == Kind::Placeholder
                                                                         ? "?"
                                                                         : ""));
    }
    std::sort(names.begin(), names.end());
    return names;
}

QTreeWidgetItem* Child(QTreeWidgetItem* item, const std::string& name) {
    for (int i = 0; i < item->childCount(); ++i) {
        if (SftpDirectoryTree::NameOf(item->child(i)) == name) return item->child(i);
    }
    return nullptr;
}

// The item at `path` below the root, following the listed levels.
QTreeWidgetItem* Find(SftpDirectoryTree& tree, const std::string& path) {
    QTreeWidgetItem* item = tree.topLevelItem(0);
    size_t start = 1;
    while (item != nullptr && start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        item = Child(item, path.substr(start, end - start));
        start = end + 1;
    }
    return item;
}

class SftpDirectoryDialogTest : public ::testing::Test {
  protected:
    SftpDirectoryDialogTest() {
        served.Write("site/a/deep/x.txt", "x");
        served.Write("site/a/c.txt", "c");
        served.Write("site/b.txt", "b");
        served.Write("site/empty/.keep", "");
    }

    std::unique_ptr<SftpDirectoryDialog> Browse(const SftpConnection& connection) {
        auto dialog = std::make_unique<SftpDirectoryDialog>(connection, "title", false, prompter);
        dialog->show();
        EXPECT_TRUE(Settled(*dialog));
        return dialog;
    }

    test::SshTestServer server;
    test::TempTree served;
    test::ScriptedPrompter prompter;
};

// The host key is asked about once (fingerprint shown); No closes the
// browser and remembers nothing, Yes lists the tree along the directory one
// level at a time, and each expansion lists exactly one more level.
TEST_F(SftpDirectoryDialogTest, UnknownHostIsAskedThenTheTreeIsListedLevelByLevel) {
    ASSERT_TRUE(server.Running());
    const std::string site = served.Full("site");
    for (const bool trust : {false, true}) {
        prompter.SetDefaultAnswer(trust);
        const size_t before = prompter.Log().size();
        auto dialog = Browse(server.Connection(site + "/"));
        ASSERT_EQ(prompter.Log().size(), before + 1) << trust;
        EXPECT_EQ(prompter.Log().back().kind, "yesno");
        EXPECT_NE(prompter.Log().back().text.find("SHA256:"), std::string::npos);
        EXPECT_EQ(dialog->isVisible(), trust);
        if (!trust) {
            EXPECT_EQ(dialog->Tree()->topLevelItem(0)->text(0),
                      "SFTP connection has not been established.");
            continue;
        }
        QTreeWidgetItem* opened = Find(*dialog->Tree(), site);
        ASSERT_NE(opened, nullptr);
        EXPECT_TRUE(opened->isExpanded());
        EXPECT_EQ(Children(opened), (std::vector<std::string>{"a/", "b.txt", "empty/"}));
        QTreeWidgetItem* a = Child(opened, "a");
        EXPECT_EQ(Children(a), std::vector<std::string>{"1?"});  // not listed yet
        a->setExpanded(true);
        ASSERT_TRUE(Settled(*dialog));
        EXPECT_EQ(Children(a), (std::vector<std::string>{"c.txt", "deep/"}));
        EXPECT_EQ(Children(Child(a, "deep")), std::vector<std::string>{"1?"});

        dialog->Tree()->setCurrentItem(a);
        EXPECT_EQ(dialog->PathBox()->text().toStdString(), site + "/a");
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        EXPECT_EQ(dialog->Path(), site + "/a");
    }
    // Trusted once, the key is not asked about again.
    auto again = Browse(server.Connection(site + "/"));
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(prompter.Log().size(), 2u);
}

// A server that cannot be used says why, naming the server; a connection
// that breaks while browsing says so too and leaves the browser usable.
TEST_F(SftpDirectoryDialogTest, ServerProblemsAreNamedAndTheBrowserStaysUsable) {
    ASSERT_TRUE(server.Running());
    const std::string site = served.Full("site") + "/";
    prompter.SetDefaultAnswer(true);
    Browse(server.Connection(site));  // the host key is now known
    server.ChangeHostKey();
    SftpConnection stranger = server.Connection(site);
    stranger.keyFile = server.StrangerKey();
    struct Case {
        const char* what;
        std::function<SftpConnection()> connection;
        std::vector<std::string> says;
    };
    const std::vector<Case> cases = {
        {"changed key", [&] { return server.Connection(site); }, {"has changed", "SHA256:"}},
        {"unknown user key",
         [&] {
             // The changed key is taken as known, so that the logon is reached.
             std::remove(server.KnownHosts().c_str());
             return stranger;
         },
         {"Logon refused", "Server:127.0.0.1:" + std::to_string(server.Port())}},
    };
    for (const Case& c : cases) {
        test::ScriptedPrompter told;
        told.SetDefaultAnswer(true);
        SftpDirectoryDialog dialog(c.connection(), "title", false, told);
        dialog.show();
        ASSERT_TRUE(Settled(dialog));
        EXPECT_FALSE(dialog.isVisible()) << c.what;
        ASSERT_FALSE(told.Log().empty()) << c.what;
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
    Child(Find(*dialog.Tree(), served.Full("site")), "a")->setExpanded(true);
    ASSERT_TRUE(Settled(dialog));
    ASSERT_EQ(told.Log().size(), 1u);
    const std::string text = told.Log()[0].text;
    EXPECT_NE(text.find("connection was lost"), std::string::npos) << text;
    EXPECT_NE(text.find("Server:127.0.0.1:"), std::string::npos) << text;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.Tree()->isEnabled());
    QTest::keyClicks(dialog.PathBox(), "x");
    EXPECT_EQ(dialog.PathBox()->text().toStdString().back(), 'x');
}

}  // namespace
}  // namespace ravelmoor
