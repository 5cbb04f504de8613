#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/RunProgram.h"
#include "support/ServerSyncTrees.h"
#include "support/SshTestServer.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;
using test::ServerSnapshot;
using TreeState = test::ServerTreeState;

// `path` as seen from the folder an SFTP logon starts in (sshd's home of the
// user, or the root when that is missing).
std::string RelativeToLogon(const std::string& path) {
    const passwd* me = ::getpwuid(::getuid());
    std::string start = me != nullptr ? me->pw_dir : "/";
    if (!std::filesystem::is_directory(start)) start = "/";
    return std::filesystem::relative(path, std::filesystem::canonical(start)).string();
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A folder on an SFTP server on this machine, stored as the connection "box"
// (the logon of `connection`, the folder `served`) the way a user stores one,
// and a local folder to compare it with. The server's HOME, and so its
// known_hosts, is a temp folder of its own. With `relative`, the folder is
// stored as a path below the folder the logon starts in.
class SftpCommandLine {
  public:
    explicit SftpCommandLine(const SftpConnection& connection, bool relative = false) {
        environment = home.Environment();
        // Local deletions go to a trash of the test's own.
        environment["XDG_DATA_HOME"] = trash.Path();
        added = RunRavelmoor(
            {"sftp", "add", "--server", connection.host + ":" + std::to_string(connection.port),
             "--user", connection.user, "--identity", connection.keyFile, "--dir",
             relative ? RelativeToLogon(served.Path()) : served.Path(), "--name", "box"},
            environment);
    }
    // `args` followed by the two sides, the SFTP one as Target or Source.
    test::ProgramResult Run(std::vector<std::string> args, bool sftpIsTarget = true) {
        args.push_back(sftpIsTarget ? local.Path() : "(sftp) box");
        args.push_back(sftpIsTarget ? "(sftp) box" : local.Path());
        return RunRavelmoor(args, environment);
    }

    test::TempTree served;
    test::TempTree local;
    test::TempConfigHome home;
    test::TempTree trash;
    std::map<std::string, std::string> environment;
    test::ProgramResult added;
};

struct SyncCase {
    const char* name;
    const char* method;
    bool sftpIsTarget;
    bool relative = false;
};

void PrintTo(const SyncCase& c, std::ostream* out) {
    *out << c.name;
}

class SftpSyncCommand : public ::testing::TestWithParam<SyncCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, SftpSyncCommand,
                         ::testing::Values(SyncCase{"ForceOntoSftp", "force", true},
                                           SyncCase{"ForceFromSftp", "force", false},
                                           SyncCase{"AlignWithSftpTarget", "align", true},
                                           SyncCase{"AlignWithSftpSource", "align", false},
                                           SyncCase{"ForceOntoRelativeFolder", "force", true,
                                                    true}),
                         [](const auto& c) { return std::string(c.param.name); });

TEST_P(SftpSyncCommand, LeavesTheHandComputedTrees) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    const SyncCase& c = GetParam();
    SftpCommandLine cli(server.Connection("/"), c.relative);
    ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
    test::TempTree& sourceTree = c.sftpIsTarget ? cli.local : cli.served;
    test::TempTree& targetTree = c.sftpIsTarget ? cli.served : cli.local;
    test::WriteServerSyncSides(sourceTree, targetTree);
    const TreeState source = ServerSnapshot(sourceTree);
    const TreeState target = ServerSnapshot(targetTree);
    TreeState sourceAfter;
    TreeState targetAfter;
    test::ExpectedAfterSync(c.method, source, target, sourceAfter, targetAfter);

    const auto compared = cli.Run({"compare", "-r", "--accept-new-host-key"}, c.sftpIsTarget);
    EXPECT_EQ(compared.exitCode, 1) << compared.err;
    EXPECT_NE(compared.out.find("newer      older      newer.txt\n"), std::string::npos)
        << compared.out;
    EXPECT_NE(compared.out.find("stale/inner/g.txt"), std::string::npos) << compared.out;

    const auto preview = cli.Run({"sync", "-r", "--method", c.method, "--preview"}, c.sftpIsTarget);
    EXPECT_EQ(preview.exitCode, 1) << preview.err;
    EXPECT_EQ(ServerSnapshot(sourceTree), source);
    EXPECT_EQ(ServerSnapshot(targetTree), target);

    if (c.sftpIsTarget && std::string(c.method) == "force") {
        // The server keeps no trash: --yes alone deletes nothing there.
        const auto kept = cli.Run({"sync", "-r", "--method", c.method, "--yes"});
        EXPECT_EQ(kept.exitCode, 1) << kept.err;
        EXPECT_NE(kept.err.find("add --delete-permanently"), std::string::npos) << kept.err;
        EXPECT_TRUE(cli.served.Exists("only-target.txt"));
        EXPECT_TRUE(cli.served.Exists("stale/h.txt"));
    }
    const auto synced = cli.Run(
        {"sync", "-r", "--method", c.method, "--yes", "--delete-permanently"}, c.sftpIsTarget);
    EXPECT_EQ(synced.exitCode, 0) << synced.out << synced.err;
    EXPECT_EQ(ServerSnapshot(sourceTree), sourceAfter);
    EXPECT_EQ(ServerSnapshot(targetTree), targetAfter);

    const auto again = cli.Run({"compare", "-r", "--method", "both"}, c.sftpIsTarget);
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
}

// A host key nobody has seen is taken only with --accept-new-host-key, never
// with --yes; a changed one never.
TEST(SftpHostKeyOnTheCommandLine, IsTakenOnlyWhenSaidAndNeverWhenChanged) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    SftpCommandLine cli(server.Connection("/"));
    ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
    cli.local.Write("new.txt", "local", 2000);
    cli.served.Write("gone.txt", "remote", 1000);
    const TreeState served = ServerSnapshot(cli.served);
    const std::vector<std::string> force = {"sync", "--method", "force", "--yes",
                                            "--delete-permanently"};
    struct Step {
        const char* what;
        bool changeKeyFirst;
        std::vector<std::string> args;
        int exitCode;
        const char* says;  // on standard error; "" for nothing
    };
    std::vector<std::string> forceAccepting = force;
    forceAccepting.emplace_back("--accept-new-host-key");
    const std::vector<Step> steps = {
        {"unknown", false, {"compare"}, 2, "is not known (its key fingerprint is SHA256:"},
        {"unknown, --yes", false, force, 2, "is not known"},
        {"unknown, accepted", false, {"compare", "--accept-new-host-key"}, 1, ""},
        {"known since", false, {"compare"}, 1, ""},
        {"changed", true, forceAccepting, 2, "has changed"},
    };
    std::string known;
    for (const Step& step : steps) {
        if (step.changeKeyFirst) {
            known = FileText(server.KnownHosts());
            server.ChangeHostKey();
        }
        const auto result = cli.Run(step.args);
        EXPECT_EQ(result.exitCode, step.exitCode) << step.what << ": " << result.err;
        if (step.says[0] == '\0') {
            EXPECT_EQ(result.err, "") << step.what;
        } else {
            EXPECT_NE(result.err.find(step.says), std::string::npos) << step.what << result.err;
        }
        EXPECT_EQ(ServerSnapshot(cli.served), served) << step.what;
    }
    EXPECT_EQ(FileText(server.KnownHosts()), known);
}

// Logon refused, and a connection that drops in the middle of the listing: a
// clear message, exit status 2, and both trees as they were.
TEST(SftpFaultsOnTheCommandLine, SayWhatWentWrongAndChangeNothing) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    SftpConnection stranger = server.Connection("/");
    stranger.keyFile = server.StrangerKey();
    struct Case {
        const char* what;
        SftpConnection connection;
        bool drop;
        std::vector<std::string> says;
    };
    const std::vector<Case> cases = {
        {"wrong key", stranger, false, {"Logon refused", " User:" + stranger.user}},
        {"dropped",
         server.Connection("/"),
         true,
         {"Error on SFTP connection", "listing the folder", "the connection was lost"}},
    };
    for (const Case& c : cases) {
        SftpCommandLine cli(c.connection);
        ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
        for (int i = 0; i < 300; ++i)
            cli.served.Write(
                "a-file-with-a-name-long-enough-to-fill-the-listing-" + std::to_string(i), "x",
                1000);
        cli.local.Write("new.txt", "local", 2000);
        const TreeState served = ServerSnapshot(cli.served);
        const TreeState local = ServerSnapshot(cli.local);
        // The answers before the listing (version, folder, its facts) are far
        // below this; the listing's are far above it.
        if (c.drop) server.DropAfter(6000);
        const auto result = cli.Run({"sync", "--method", "force", "--yes", "--delete-permanently",
                                     "--accept-new-host-key"});
        EXPECT_EQ(result.exitCode, 2) << c.what;
        for (const std::string& words : c.says)
            EXPECT_NE(result.err.find(words), std::string::npos) << c.what << ": " << result.err;
        EXPECT_EQ(ServerSnapshot(cli.served), served) << c.what;
        EXPECT_EQ(ServerSnapshot(cli.local), local) << c.what;
    }
}

}  // namespace
}  // namespace ravelmoor
