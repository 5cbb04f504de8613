#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "core/settings/SettingsStore.h"
#include "core/sftp/SftpConnectionStore.h"
#include "gui/sftp/SftpConnectionsDialog.h"
#include "support/ScriptedPrompter.h"
#include "support/TempConfigHome.h"
#include "support/WindowDriver.h"

namespace ravelmoor {
namespace {

class SftpConnectionsDialogTest : public ::testing::Test {
  protected:
    void Start() {
        store = std::make_unique<SettingsStore>();
        dialog = std::make_unique<SftpConnectionsDialog>(*store, prompter, pickers);
        dialog->show();
    }
    static void Type(QLineEdit* box, const std::string& text) {
        QTest::keyClicks(box, QString::fromStdString(text));
    }
    void Logon(SftpLogon logon) {
        QComboBox* box = dialog->LogonBox();
        box->setCurrentIndex(static_cast<int>(logon));
        emit box->activated(box->currentIndex());
    }
    // Saves what the dialog shows, as reopening the program would read it.
    // The file the secrets go to when no keyring answers, as in every test.
    std::string Secrets() const {
        std::ifstream file(home.Path() + "/KVOLT/Ravelmoor.sftp-passwords");
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    SftpConnection Stored(const std::string& name) {
        store->Sync();
        SettingsStore reread;
        return SftpConnectionStore(reread).LookupConnection(name);
    }

    test::TempConfigHome home;
    std::unique_ptr<SettingsStore> store;
    test::ScriptedPrompter prompter;
    test::ScriptedPickers pickers;
    std::unique_ptr<SftpConnectionsDialog> dialog;
};

// A connection typed in is stored with its fields in the settings file and
// its secret beside it, never in it; picked again and changed, it is stored
// changed after the question; deleted, it is gone with its secret.
TEST_F(SftpConnectionsDialogTest, StoresEditsAndDeletesAConnection) {
    Start();
    EXPECT_EQ(dialog->PortBox()->value(), 22);
    EXPECT_FALSE(dialog->SecretBox()->isEnabled());  // the agent needs none
    Type(dialog->HostBox(), "files.example");
    Type(dialog->DirectoryBox(), "/srv/site/");
    EXPECT_EQ(dialog->NameBox()->currentText(), "files.example/srv/site/");
    dialog->PortBox()->setValue(2222);
    Type(dialog->UserBox(), "ann");
    pickers.answers = {std::string("/home/ann/.ssh/id_ed25519")};
    Logon(SftpLogon::KeyFile);
    ASSERT_TRUE(dialog->SecretBox()->isEnabled());
    QTest::mouseClick(dialog->KeyFileButton(), Qt::LeftButton);
    Type(dialog->SecretBox(), "open-sesame");
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());

    const std::string name = "files.example/srv/site/";
    SftpConnection expected;
    expected.host = "files.example";
    expected.port = 2222;
    expected.user = "ann";
    expected.directory = "/srv/site/";
    expected.logon = SftpLogon::KeyFile;
    expected.keyFile = "/home/ann/.ssh/id_ed25519";
    expected.secret = "open-sesame";
    EXPECT_EQ(Stored(name), expected);
    EXPECT_EQ(home.Ini().find("open-sesame"), std::string::npos);
    EXPECT_NE(home.Ini().find("Host=files.example"), std::string::npos) << home.Ini();
    EXPECT_NE(Secrets().find("open-sesame"), std::string::npos);

    // Opened again it shows the connection; a password logon replaces the key.
    dialog->show();
    EXPECT_EQ(dialog->HostBox()->text(), "files.example");
    Logon(SftpLogon::Password);
    test::Retype(dialog->SecretBox(), "pw2");
    prompter.Script({false, true});  // the first OK is declined, the second taken
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Stored(name).logon, SftpLogon::KeyFile);
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    expected.logon = SftpLogon::Password;
    expected.secret = "pw2";
    EXPECT_EQ(Stored(name), expected);

    dialog->show();
    QTest::mouseClick(dialog->DeleteButton(), Qt::LeftButton);
    EXPECT_TRUE(Stored(name).IsEmpty());
    EXPECT_EQ(home.Ini().find("files.example"), std::string::npos) << home.Ini();
    EXPECT_EQ(Secrets().find("pw2"), std::string::npos);
    EXPECT_EQ(dialog->NameBox()->count(), 0);
}

// Each field is checked before anything is written; the message names the
// field, and the dialog stays open with the fields as typed.
TEST_F(SftpConnectionsDialogTest, FieldChecksRefuseWhatCannotBeStored) {
    struct Case {
        const char* what;
        std::function<void(SftpConnectionsDialog&)> edit;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"no host", [](SftpConnectionsDialog&) {}, "Empty connection name"},
        {"directory only", [](SftpConnectionsDialog& d) { Type(d.DirectoryBox(), "/srv"); },
         "Empty host name"},
        {"line break in the host",
         [](SftpConnectionsDialog& d) { emit d.HostBox()->textEdited("a\nb"); },
         "The host name holds a line break or NUL character."},
        {"NUL in the user",
         [](SftpConnectionsDialog& d) {
             Type(d.HostBox(), "h");
             emit d.UserBox()->textEdited(QString(QChar(0)) + "x");
         },
         "The user name holds a line break or NUL character."},
        {"CR in the directory",
         [](SftpConnectionsDialog& d) {
             Type(d.HostBox(), "h");
             emit d.DirectoryBox()->textEdited("/a\rb");
         },
         "The directory holds a line break or NUL character."},
        {"key logon without a key file",
         [this](SftpConnectionsDialog& d) {
             Type(d.HostBox(), "h");
             Logon(SftpLogon::KeyFile);
         },
         "A logon by key file needs the key file."},
        {"line break in the password",
         [this](SftpConnectionsDialog& d) {
             Type(d.HostBox(), "h");
             Logon(SftpLogon::Password);
             emit d.SecretBox()->textEdited("p\nw");
         },
         "The password holds a line break or NUL character."},
    };
    Start();
    for (const Case& c : cases) {
        QTest::mouseClick(dialog->NewButton(), Qt::LeftButton);
        c.edit(*dialog);
        const size_t before = prompter.Log().size();
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog->isVisible()) << c.what;
        ASSERT_EQ(prompter.Log().size(), before + 1) << c.what;
        EXPECT_EQ(prompter.Log().back().kind, "warn") << c.what;
        EXPECT_EQ(prompter.Log().back().text, c.says) << c.what;
    }
    EXPECT_EQ(SftpConnectionStore(*store).ConnectionNames(), std::vector<std::string>{});
}

}  // namespace
}  // namespace ravelmoor
