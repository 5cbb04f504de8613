#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <memory>

#include "core/settings/SettingsStore.h"
#include "ftp/FtpTestServer.h"
#include "gui/ftp/FtpConnectionsDialog.h"
#include "gui/ftp/FtpDirectoryDialog.h"
#include "gui/ftp/FtpDirectoryTree.h"
#include "support/ScriptedPrompter.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using Kind = FtpDirectoryTree::ItemKind;
using namespace std::chrono_literals;

// The browser once its tree is up (or it has closed).
bool Settled(const FtpDirectoryDialog& dialog) {
    return QTest::qWaitFor([&] { return dialog.Ready() || !dialog.isVisible(); }, 20000);
}

// The names under `item`, sorted (servers list in their own order).
std::vector<std::string> Children(const QTreeWidgetItem* item) {
    std::vector<std::string> names;
    for (int i = 0; i < item->childCount(); ++i)
        names.push_back(FtpDirectoryTree::NameOf(item->child(i)));
    std::sort(names.begin(), names.end());
    return names;
}

QTreeWidgetItem* Child(QTreeWidgetItem* item, const std::string& name) {
    for (int i = 0; i < item->childCount(); ++i) {
        if (FtpDirectoryTree::NameOf(item->child(i)) == name) return item->child(i);
    }
    ADD_FAILURE() << "no item " << name;
    return item;
}

class FtpDirectoryDialogTest : public ::testing::Test {
  protected:
    FtpDirectoryDialogTest() {
        served.Write("pub/docs/readme.txt", "r");
        served.Write("pub/docs/guide/intro.txt", "i");
        served.Write("pub/notes.txt", "n");
        served.Write("other/deep/x.txt", "x");
        served.Write("top.txt", "t");
    }

    std::unique_ptr<FtpDirectoryDialog> Browse(const test::FtpTestServer& on,
                                               const std::string& directory,
                                               std::chrono::milliseconds deadline = 30s) {
        auto dialog = std::make_unique<FtpDirectoryDialog>(on.Connection(directory), "title", false,
                                                           prompter);
        dialog->Tree()->SetAnswerDeadline(deadline);
        dialog->show();
        EXPECT_TRUE(Settled(*dialog));
        return dialog;
    }

    test::TempTree served;
    test::FtpTestServer server{served.Path()};
    test::ScriptedPrompter prompter;
};

TEST_F(FtpDirectoryDialogTest, Open_ExpandsEachLevelOfTheDirectoryAndListsNothingElse) {
    auto dialog = Browse(server, "/pub/docs/");
    QTreeWidgetItem* root = dialog->Tree()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), "/");
    EXPECT_EQ(Children(root), (std::vector<std::string>{"other", "pub", "top.txt"}));
    QTreeWidgetItem* pub = Child(root, "pub");
    QTreeWidgetItem* docs = Child(pub, "docs");
    EXPECT_TRUE(root->isExpanded() && pub->isExpanded() && docs->isExpanded());
    EXPECT_EQ(Children(docs), (std::vector<std::string>{"guide", "readme.txt"}));

    // Not yet listed: a placeholder under each folder, nothing under a file.
    for (QTreeWidgetItem* folder : {Child(root, "other"), Child(docs, "guide")}) {
        EXPECT_FALSE(folder->isExpanded());
        ASSERT_EQ(folder->childCount(), 1);
        EXPECT_EQ(FtpDirectoryTree::KindOf(folder->child(0)), Kind::Placeholder);
        EXPECT_EQ(folder->child(0)->text(0), "1");
    }
    EXPECT_EQ(Child(docs, "readme.txt")->childCount(), 0);
    EXPECT_EQ(FtpDirectoryTree::KindOf(Child(docs, "readme.txt")), Kind::File);
    EXPECT_TRUE(dialog->Tree()->selectedItems().isEmpty());
    EXPECT_EQ(dialog->PathBox()->text(), "");
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(FtpDirectoryDialogTest, Open_FileAtTheEndOfTheWalkIsSelectedInBold) {
    struct Case {
        std::string directory, selected;
    };
    for (const Case& c : std::vector<Case>{{"/pub/notes.txt", "/pub/notes.txt"},
                                           {"pub//docs/readme.txt/", "/pub/docs/readme.txt"},
                                           {"/pub/missing/notes.txt", ""}}) {
        auto dialog = Browse(server, c.directory);
        const QList<QTreeWidgetItem*> selected = dialog->Tree()->selectedItems();
        ASSERT_EQ(selected.size(), c.selected.empty() ? 0 : 1) << c.directory;
        EXPECT_EQ(dialog->PathBox()->text().toStdString(), c.selected);
        if (!selected.isEmpty()) {
            EXPECT_TRUE(selected.front()->font(0).bold());
        }
    }
}

TEST_F(FtpDirectoryDialogTest, Expand_ListsTheLevelAfreshEachTime) {
    auto dialog = Browse(server, "");
    QTreeWidgetItem* other = Child(dialog->Tree()->topLevelItem(0), "other");
    other->setExpanded(true);
    EXPECT_EQ(Children(other), std::vector<std::string>{"deep"});
    QTreeWidgetItem* deep = Child(other, "deep");
    EXPECT_EQ(FtpDirectoryTree::KindOf(deep->child(0)), Kind::Placeholder);

    dialog->Tree()->setCurrentItem(deep);
    EXPECT_EQ(dialog->PathBox()->text(), "/other/deep");
    dialog->Tree()->setCurrentItem(dialog->Tree()->topLevelItem(0));
    EXPECT_EQ(dialog->PathBox()->text(), "/");

    served.Write("other/later.txt", "l");
    other->setExpanded(false);
    other->setExpanded(true);
    EXPECT_EQ(Children(other), (std::vector<std::string>{"deep", "later.txt"}));
}

TEST_F(FtpDirectoryDialogTest, Ok_TakesTypedPathsWhoseFirstLevelIsUnderTheRoot) {
    auto dialog = Browse(server, "");
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

TEST_F(FtpDirectoryDialogTest, RefusedLogon_ClosesWithTheErrorAndLeavesTheConnectionAlone) {
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

TEST_F(FtpDirectoryDialogTest, SilentServer_IsGivenUpAtTheDeadlineWithAMessage) {
    test::FtpTestServer silent(served.Path(), {}, {}, {"--hang-listing"});
    auto dialog = Browse(silent, "/pub/", 300ms);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Tree()->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{"The FTP server did not answer within 1 second. Server:" +
                                       silent.Server() + " User:anonymous"});
}

}  // namespace
}  // namespace ravelmoor
