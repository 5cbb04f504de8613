#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <cstdlib>

#include "core/ftp/FtpConnectionStore.h"
#include "core/settings/SettingsStore.h"
#include "support/RunProgram.h"
#include "support/TempConfigHome.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;

// The files under `folder` that others than the user may read and that hold `secret`.
std::vector<std::string> ReadableByOthersHolding(const std::string& folder,
                                                 const std::string& secret) {
    std::vector<std::string> found;
    QDirIterator files(QString::fromStdString(folder), QDir::Files | QDir::Hidden,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const std::string path = files.next().toStdString();
        struct stat facts {};
        if (::stat(path.c_str(), &facts) != 0 || (facts.st_mode & (S_IRGRP | S_IROTH)) == 0)
            continue;
        QFile file(QString::fromStdString(path));
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(secret.c_str())) {
            found.push_back(path);
        }
    }
    return found;
}

mode_t ModeOf(const std::string& path) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0 ? facts.st_mode & 07777 : 0;
}

// Without a keyring: the password goes to a 0600 file beside the settings
// file, said once; no terminal, no password.
TEST(FtpPasswords, KeptInAFileOnlyTheUserCanRead) {
    test::TempConfigHome home;
    const auto env = home.Environment();
    const std::string file = home.Path() + "/KVOLT/Ravelmoor.passwords";

    const auto added = RunRavelmoor(
        {"ftp", "add", "--server", "host1", "--user", "anna", "--password-stdin"}, env, "pa ss\n");
    EXPECT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.err, "ravelmoor: No desktop keyring answered, so FTP passwords are kept in " +
                             file + ", which only you can read.\n");
    EXPECT_EQ(ModeOf(file), 0600u);
    EXPECT_EQ(home.Passwords(), "host1 pa%20ss\n");
    EXPECT_NE(home.Ini().find("PwdIn=file"), std::string::npos) << home.Ini();

    // (The warning --password gives is a row of FtpCommand's refusals.)
    RunRavelmoor({"ftp", "add", "--server", "host2", "--user", "bo", "--password", "x9"}, env);
    EXPECT_TRUE(ReadableByOthersHolding(home.Path(), "pa ss").empty());
    EXPECT_TRUE(ReadableByOthersHolding(home.Path(), "x9").empty());

    // Read back from the file: the same values change nothing.
    const auto same = RunRavelmoor(
        {"ftp", "add", "--server", "host1", "--user", "anna", "--password-stdin"}, env, "pa ss");
    EXPECT_EQ(same.out, "The FTP connection host1 is already stored with these values.\n");

    const auto noTerminal = RunRavelmoor({"ftp", "add", "--server", "host3", "--user", "cy"}, env);
    EXPECT_EQ(noTerminal.exitCode, 2);
    EXPECT_EQ(noTerminal.err,
              "ravelmoor: No terminal to ask for the password on: give it with "
              "--password-stdin (or --password).\n");

    EXPECT_EQ(RunRavelmoor({"ftp", "remove", "host1"}, env).exitCode, 0);
    EXPECT_EQ(home.Passwords(), "host2 x9\n");
}

// A password an older version left in plain text moves out the first time
// it is read, and reads the same afterwards.
TEST(FtpPasswords, PlainTextPasswordMovesOutWhenRead) {
    test::TempConfigHome home;
    home.WriteIni("[Index]\nold=ftp_old\n\n[ftp_old]\nServer=h\nUser=u\nPwd=plain words\n");
    for (int round = 0; round < 2; ++round) {
        SettingsStore settings;
        EXPECT_EQ(FtpConnectionStore(settings).LookupConnection("old").password, "plain words");
    }
    EXPECT_EQ(home.Ini().find("plain"), std::string::npos) << home.Ini();
    EXPECT_EQ(home.Passwords(), "old plain%20words\n");
}

// With a Secret Service on the session bus, the password goes there and
// nowhere in the config folder.
TEST(FtpPasswords, KeptInTheKeyringWhenOneAnswers) {
    if (QStandardPaths::findExecutable("dbus-run-session").isEmpty() ||
        QStandardPaths::findExecutable("gnome-keyring-daemon").isEmpty()) {
        GTEST_SKIP() << "no dbus-run-session or gnome-keyring-daemon";
    }
    test::TempConfigHome home;
    test::TempTree user;
    user.MakeFolder("run");
    user.Chmod("run", 0700);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(home.Path()));
    env.insert("HOME", QString::fromStdString(user.Path()));
    env.insert("XDG_DATA_HOME", QString::fromStdString(user.Full("data")));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(user.Full("run")));
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    const QString script =
        "echo -n unlock | gnome-keyring-daemon --unlock --components=secrets >/dev/null &&"
        "printf 'k3y\\n' | \"$RAVELMOOR_BINARY\" ftp add --server h --user u --password-stdin &&"
        "printf 'k3y' | \"$RAVELMOOR_BINARY\" ftp add --server h --user u --password-stdin";
    QProcess session;
    session.setProcessEnvironment(env);
    session.start("dbus-run-session", {"--", "sh", "-c", script});
    ASSERT_TRUE(session.waitForFinished(120000));
    const std::string out = session.readAllStandardOutput().toStdString();
    const std::string err = session.readAllStandardError().toStdString();
    EXPECT_EQ(session.exitCode(), 0) << err;
    EXPECT_NE(err.find("FTP passwords are kept in the desktop keyring.\n"), std::string::npos)
        << err;
    // The second add read the password back from the keyring.
    EXPECT_EQ(out,
              "Saved the FTP connection h.\n"
              "The FTP connection h is already stored with these values.\n");
    EXPECT_NE(home.Ini().find("PwdIn=keyring"), std::string::npos) << home.Ini();
    EXPECT_EQ(home.Passwords(), "");
    EXPECT_TRUE(ReadableByOthersHolding(home.Path(), "k3y").empty());
}

}  // namespace
}  // namespace ravelmoor
