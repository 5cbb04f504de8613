#include <gtest/gtest.h>

#include "support/RunProgram.h"
#include "support/TempConfigHome.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;

TEST(FtpCommand, AddListRemoveWorkOnTheUsersStore) {
    test::TempConfigHome home;
    const auto env = home.Environment();
    auto run = [&](const std::vector<std::string>& args) { return RunRavelmoor(args, env); };

    auto added = run(
        {"ftp", "add", "--server", "host1", "--dir", "/pub/", "--user=anna", "--password", "1234"});
    EXPECT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(added.out, "Saved the FTP connection host1/pub/.\n");
    EXPECT_EQ(run({"ftp", "add", "--server", "alpha"}).exitCode, 0);
    // A new connection uses passive data connections.
    EXPECT_NE(home.Ini().find("[ftp_host1%U2215pub%U2215]\nDir=/pub/\nPassive=1\nPwdIn=file\n"
                              "Server=host1\nUser=anna\n"),
              std::string::npos)
        << home.Ini();

    EXPECT_EQ(run({"ftp", "list"}).out, "alpha\nhost1/pub/\n");

    const auto changed = run({"ftp", "add", "--server", "host1", "--dir", "/pub/"});
    EXPECT_EQ(changed.exitCode, 2);
    EXPECT_NE(changed.err.find("ravelmoor: The FTP connection host1/pub/ was not changed.\n"),
              std::string::npos);

    const auto removed = run({"ftp", "remove", "host1/pub/"});
    EXPECT_EQ(removed.out, "Removed the FTP connection host1/pub/.\n");
    EXPECT_EQ(run({"ftp", "list"}).out, "alpha\n");
    EXPECT_EQ(home.Ini().find("host1"), std::string::npos) << home.Ini();
}

TEST(FtpCommand, MistakesAreRefusedWithStatusTwo) {
    test::TempConfigHome home;
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"ftp", "add", "--dir", "/pub/"}, "Empty server name"},
        {{"ftp", "add", "--port", "21"}, "Unknown option --port; see ravelmoor ftp add --help."},
        {{"ftp", "add", "--sever=h"},
         "Unknown option --sever (did you mean --server?); see ravelmoor ftp add --help."},
        {{"ftp", "add", "--server"}, "The option --server needs a value."},
        {{"ftp", "remove", "nothing"}, "There is no FTP connection named nothing."},
        {{"ftp", "remove"}, "Name the FTP connection to remove (see ravelmoor ftp list)."},
        {{"ftp", "rmove"},
         "Unknown ftp command rmove (did you mean remove?); see ravelmoor ftp --help."},
        {{"ftp", "add", "--server", "h", "--password", "x\r\nDELE /victim.txt"},
         "Warning: a password given with --password shows in the process list and the shell "
         "history; --password-stdin keeps it out of both.\nravelmoor: The password holds a line "
         "break or NUL "
         "character, which FTP cannot send."},
        {{"ftp", "add", "--server", "h", "--password-stdin", "--user", "u\r\nDELE /victim.txt"},
         "The user name holds a line break or NUL character, which FTP cannot send."},
        {{"ftp", "add", "--server", "h", "--dir", "/\n"},
         "The directory holds a line break or NUL character, which FTP cannot send."},
    };
    for (const Case& c : cases) {
        const auto result = RunRavelmoor(c.args, home.Environment());
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err, "ravelmoor: " + c.message + "\n");
    }
    EXPECT_EQ(home.Ini(), "");
}

}  // namespace
}  // namespace ravelmoor
