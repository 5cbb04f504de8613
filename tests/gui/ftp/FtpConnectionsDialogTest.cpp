#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "core/ftp/FtpConnectionStore.h"
#include "core/ftp/ServerClockStore.h"
#include "core/settings/SettingsStore.h"
#include "gui/ftp/FtpConnectionsDialog.h"
#include "support/ScriptedPrompter.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

// What the dialog shows: name, server, user, password, directory, passive.
struct Shown {
    std::string name, server, user, password, directory;
    bool passive = false;
    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << '{' << s.name << '|' << s.server << '|' << s.user << '|' << s.password << '|'
               << s.directory << '|' << s.passive << '}';
}

class FtpConnectionsDialogTest : public ::testing::Test {
  protected:
    // The program's start: the store read from `ini`, one dialog shown.
    void Start(const std::string& ini = {}) {
        if (!ini.empty()) home.WriteIni(ini);
        store = std::make_unique<SettingsStore>();
        dialogOwner = std::make_unique<FtpConnectionsDialog>(*store, prompter);
        dialogOwner->show();
    }
    Shown Fields() const {
        const FtpConnectionsDialog& dialog = *dialogOwner;
        return {dialog.NameBox()->currentText().toStdString(),
                dialog.ServerBox()->text().toStdString(),
                dialog.UserBox()->text().toStdString(),
                dialog.PasswordBox()->text().toStdString(),
                dialog.DirectoryBox()->text().toStdString(),
                dialog.PassiveBox()->isChecked()};
    }
    static void Type(QWidget* box, const char* text) { QTest::keyClicks(box, text); }
    // Picks `name` from the name box's list as the arrow keys do.
    void Pick(const std::string& name) {
        QComboBox* box = dialogOwner->NameBox();
        for (int i = 0; i <= box->count() && box->currentText().toStdString() != name; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        ASSERT_EQ(box->currentText().toStdString(), name);
    }
    FtpConnectionStore connections() { return FtpConnectionStore(*store); }
    void Reopen() {
        dialogOwner->hide();
        dialogOwner->show();
    }

    test::TempConfigHome home;
    test::ScriptedPrompter prompter;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<FtpConnectionsDialog> dialogOwner;
};

constexpr const char* kTwoConnections =
    "[Index]\nhost1%U2215pub%U2215=ftp_host1/pub/\nother%U2215=ftp_other/\n\n"
    "[ftp_host1%U2215pub%U2215]\nDir=/pub/\nPassive=1\nPwd=pw\nServer=host1\nUser=anna\n\n"
    "[ftp_other%U2215]\nDir=/\nServer=other\n";

TEST_F(FtpConnectionsDialogTest, Create_NameFollowsTypedServerAndDirectoryAndCannotBeTyped) {
    Start();
    FtpConnectionsDialog& dialog = *dialogOwner;
    EXPECT_EQ(Fields(), (Shown{"", "", "", "", "", true}));  // new: passive mode on

    Type(dialog.ServerBox(), "a");
    Type(dialog.DirectoryBox(), "/x/");
    EXPECT_EQ(Fields().name, "a/x/");
    dialog.ServerBox()->setCursorPosition(1);
    Type(dialog.ServerBox(), "b");
    EXPECT_EQ(Fields().name, "ab/x/");
    Type(dialog.UserBox(), "anna");
    Type(dialog.PasswordBox(), "secret");

    QLineEdit* nameEdit = dialog.NameBox()->lineEdit();
    Type(nameEdit, "zz");
    QTest::keyClick(nameEdit, Qt::Key_Backspace);
    QTest::keyClick(nameEdit, Qt::Key_Home);
    QTest::keyClick(nameEdit, Qt::Key_Delete);
    EXPECT_EQ(Fields(), (Shown{"ab/x/", "ab", "anna", "secret", "/x/", true}));

    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), "ab/x/");
    // Written to the file at once, the mode as "Passive" 1, the password
    // beside it where only the user can read it, which is said once.
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{
                  "No desktop keyring answered, so FTP passwords are kept in " + home.Path() +
                  "/KVOLT/Ravelmoor.passwords, which only you "
                  "can read."});
    const std::string ini = home.Ini();
    EXPECT_NE(ini.find("[Index]\nab%U2215x%U2215=ftp_ab/x/\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[ftp_ab%U2215x%U2215]\nDir=/x/\nPassive=1\nPwdIn=file\nServer=ab\n"
                       "User=anna\n"),
              std::string::npos)
        << ini;
    EXPECT_EQ(home.Passwords(), "ab%2Fx%2F secret\n");
}

TEST_F(FtpConnectionsDialogTest, Pick_ShowsStoredValuesWithoutDerivingTheName) {
    // Written by hand: a name that does not follow its server, and no "Passive".
    Start(
        "[Index]\nwork=ftp_work\nzeta=ftp_zeta\n\n[ftp_work]\nServer=ftp.example.org\n"
        "Dir=/pub/\nUser=anna\n\n[ftp_zeta]\nServer=z\n");
    FtpConnectionsDialog& dialog = *dialogOwner;
    Pick("work");
    EXPECT_EQ(Fields(), (Shown{"work", "ftp.example.org", "anna", "", "/pub/", false}));

    Type(dialog.DirectoryBox(), "x");
    EXPECT_EQ(Fields().name, "ftp.example.org/pub/x");
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    EXPECT_EQ(Fields(), (Shown{"", "", "", "", "", true}));
}

TEST_F(FtpConnectionsDialogTest, Save_AsksOnlyWhenAStoredConnectionChanges) {
    Start(kTwoConnections);
    FtpConnectionsDialog& dialog = *dialogOwner;
    Pick("host1/pub/");  // its plain-text password moves out as it is read
    const std::string before = home.Ini();
    EXPECT_EQ(before.find("Pwd="), std::string::npos) << before;
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.Texts().empty());
    EXPECT_EQ(home.Ini(), before);

    // The one dialog keeps its name: opened again, it shows the same connection.
    Reopen();
    EXPECT_EQ(Fields().name, "host1/pub/");
    Type(dialog.PasswordBox(), "2");
    // On the box itself: the widget is wider than what takes a click.
    QTest::mouseClick(dialog.PassiveBox(), Qt::LeftButton, {},
                      QPoint(4, dialog.PassiveBox()->height() / 2));
    prompter.Script({false});
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(home.Ini(), before);
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{
                  "A connection called host1/pub/ already exists. Do you want to change the "
                  "settings for this connection? If not, press cancel and choose a new "
                  "connection name."});

    prompter.Script({true});
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_NE(home.Ini().find("Dir=/pub/\nPassive=0\nPwdIn=file\n"), std::string::npos)
        << home.Ini();
    EXPECT_EQ(home.Passwords(), "host1%2Fpub%2F pw2\n");

    // Another spelling of a listed name is that connection: changed, not doubled.
    Reopen();
    QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
    Type(dialog.ServerBox(), "HOST1");
    Type(dialog.DirectoryBox(), "/pub/");
    prompter.Script({true});
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(prompter.Texts().size(), 4u);  // two questions, the notice, one question
    EXPECT_EQ(connections().ConnectionNames(), (std::vector<std::string>{"host1/pub/", "other/"}));
    EXPECT_EQ(connections().LookupConnection("host1/pub/").server, "HOST1");
}

TEST_F(FtpConnectionsDialogTest, Save_RefusesInOrderAndStaysOpen) {
    struct Case {
        const char* server;
        const char* directory;
        const char* message;  // empty: saved
    };
    const std::vector<Case> cases = {
        {"", "", "Empty connection name"},
        {"", "/pub/", "Empty server name"},
        {"ho st", "/pub/", "Invalid URL for server and directory"},
        {"host:port", "/", "Invalid URL for server and directory"},
        {"host2", "/pub/", ""},
        {"ftp://host3", "/my dir/", ""},
        {"[::1]:2121", "", ""},
    };
    Start();
    FtpConnectionsDialog& dialog = *dialogOwner;
    for (const Case& c : cases) {
        dialog.show();
        QTest::mouseClick(dialog.NewButton(), Qt::LeftButton);
        Type(dialog.ServerBox(), c.server);
        Type(dialog.DirectoryBox(), c.directory);
        const Shown typed = Fields();
        const size_t shown = prompter.Texts().size();
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        const bool saved = *c.message == '\0';
        EXPECT_EQ(prompter.Texts().size(), shown + (saved ? 0 : 1)) << c.server;
        if (!saved) {
            EXPECT_EQ(prompter.Texts().back(), c.message);
        }
        EXPECT_EQ(dialog.isVisible(), !saved) << c.server;
        EXPECT_EQ(Fields(), typed);
        EXPECT_EQ(connections().LookupConnection(typed.name).server, saved ? c.server : "");
    }
}

TEST_F(FtpConnectionsDialogTest, Delete_RemovesSectionAndIndexValueFromTheFile) {
    Start(kTwoConnections);
    FtpConnectionsDialog& dialog = *dialogOwner;
    QTest::mouseClick(dialog.DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Select connection name to be deleted"});

    // The name box spells the listed name otherwise: that connection goes.
    Type(dialog.ServerBox(), "HOST1");
    Type(dialog.DirectoryBox(), "/pub/");
    QTest::mouseClick(dialog.DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(Fields(), (Shown{"", "", "", "", "", true}));
    EXPECT_EQ(dialog.NameBox()->count(), 1);
    const std::string ini = home.Ini();
    EXPECT_EQ(ini.find("host1"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[ftp_other%U2215]"), std::string::npos) << ini;
    EXPECT_TRUE(FtpConnectionStore(*store).LookupConnection("host1/pub/").IsEmpty());

    // The one dialog, opened again, no longer finds its name: it starts anew.
    Pick("other/");
    connections().DeleteConnection("other/");
    Reopen();
    EXPECT_EQ(Fields(), (Shown{"", "", "", "", "", true}));
    EXPECT_EQ(dialog.NameBox()->count(), 0);
}

// The server's clock, as the last comparison that could write to it found
// it, shows for the connection picked (for its logon: an empty user is the
// anonymous one), and says so where no comparison found it yet.
TEST_F(FtpConnectionsDialogTest, ShowsTheServersClockAsTheLastComparisonFoundIt) {
    test::TempTree state;
    const char* previous = std::getenv("XDG_STATE_HOME");
    const std::string kept = previous != nullptr ? previous : "";
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    ServerClock clock;
    clock.known = true;
    clock.listingOffset = 9 * 3600;
    clock.mdtmKnown = true;
    clock.mdtmOffset = 9 * 3600;
    clock.setter = TimeSetter::MdtmWithTime;
    clock.setterOffset = 9 * 3600;
    ASSERT_TRUE(ServerClockStore::Write("other", "anonymous", clock));
    Start(kTwoConnections);
    Pick("host1/pub/");
    EXPECT_EQ(dialogOwner->ClockLabel()->text().toStdString(),
              "not known yet (a comparison that may write to the server finds it)");
    Pick("other/");
    EXPECT_EQ(dialogOwner->ClockLabel()->text().toStdString(),
              "listings in UTC+09:00, MDTM UTC+09:00; uploads keep their times with MDTM");
    previous != nullptr ? ::setenv("XDG_STATE_HOME", kept.c_str(), 1)
                        : ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace ravelmoor
