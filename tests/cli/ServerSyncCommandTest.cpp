#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/FtpTestServer.h"
#include "support/RunProgram.h"
#include "support/ServerCommandLine.h"
#include "support/ServerSyncTrees.h"
#include "support/SshTestServer.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;
using test::ServerSnapshot;
using TreeState = test::ServerTreeState;

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

using test::CommandLine;

struct SyncCase {
    const char* name;
    bool ftp;
    const char* method;
    bool serverIsTarget;
    bool relative = false;
};

void PrintTo(const SyncCase& c, std::ostream* out) {
    *out << c.name;
}

class ServerSyncCommand : public ::testing::TestWithParam<SyncCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, ServerSyncCommand,
                         ::testing::Values(SyncCase{"ForceOntoFtp", true, "force", true},
                                           SyncCase{"AlignWithFtpTarget", true, "align", true},
                                           SyncCase{"AlignWithFtpSource", true, "align", false},
                                           SyncCase{"ForceOntoSftp", false, "force", true},
                                           SyncCase{"ForceFromSftp", false, "force", false},
                                           SyncCase{"AlignWithSftpTarget", false, "align", true},
                                           SyncCase{"AlignWithSftpSource", false, "align", false},
                                           SyncCase{"ForceOntoRelativeSftpFolder", false, "force",
                                                    true, true}),
                         [](const auto& c) { return std::string(c.param.name); });

TEST_P(ServerSyncCommand, LeavesTheHandComputedTrees) {
    const SyncCase& c = GetParam();
    std::unique_ptr<test::SshTestServer> sftp;
    std::unique_ptr<CommandLine> owner;
    if (c.ftp) {
        owner = std::make_unique<CommandLine>(std::vector<std::string>{});
    } else {
        sftp = std::make_unique<test::SshTestServer>();
        ASSERT_TRUE(sftp->Running());
        owner = std::make_unique<CommandLine>(sftp->Connection("/"), c.relative);
    }
    CommandLine& cli = *owner;
    ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
    test::TempTree& sourceTree = c.serverIsTarget ? cli.local : cli.served;
    test::TempTree& targetTree = c.serverIsTarget ? cli.served : cli.local;
    test::WriteServerSyncSides(sourceTree, targetTree);
    const TreeState source = ServerSnapshot(sourceTree);
    const TreeState target = ServerSnapshot(targetTree);
    TreeState sourceAfter;
    TreeState targetAfter;
    test::ExpectedAfterSync(c.method, source, target, sourceAfter, targetAfter);

    const auto compared = cli.Run({"compare", "-r", "--accept-new-host-key"}, c.serverIsTarget);
    EXPECT_EQ(compared.exitCode, 1) << compared.err;
    EXPECT_NE(compared.out.find("newer      older      newer.txt\n"), std::string::npos)
        << compared.out;
    EXPECT_NE(compared.out.find("stale/inner/g.txt"), std::string::npos) << compared.out;

    const auto preview =
        cli.Run({"sync", "-r", "--method", c.method, "--preview"}, c.serverIsTarget);
    EXPECT_EQ(preview.exitCode, 1) << preview.err;
    EXPECT_EQ(ServerSnapshot(sourceTree), source);
    EXPECT_EQ(ServerSnapshot(targetTree), target);

    const bool deletesOnTheServer = c.serverIsTarget && std::string(c.method) == "force";
    const auto synced = cli.Run(
        {"sync", "-r", "--method", c.method, "--yes", "--delete-permanently"}, c.serverIsTarget);
    EXPECT_EQ(synced.exitCode, 0) << synced.out << synced.err;
    EXPECT_EQ(ServerSnapshot(sourceTree), sourceAfter);
    EXPECT_EQ(ServerSnapshot(targetTree), targetAfter);
    if (deletesOnTheServer) {
        // --delete-permanently answered the one question about deleting for
        // good without a word, and nothing spoke of a trash.
        EXPECT_EQ(synced.err.find("permanently?"), std::string::npos) << synced.err;
        EXPECT_EQ(synced.err.find("to the trash?"), std::string::npos) << synced.err;
    }

    const auto again = cli.Run({"compare", "-r", "--method", "both"}, c.serverIsTarget);
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
}

// The name of the versions folder of a sync that started at `utc`.
std::string StampOf(int64_t utc) {
    const auto when = static_cast<time_t>(utc);
    struct tm parts {};
    ::gmtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d-%H%M%S", &parts);
    return text;
}

// The run folders in the versions folder of `tree`.
std::set<std::string> RunFolders(const test::TempTree& tree) {
    std::set<std::string> runs;
    if (!tree.Exists(".ravelmoor-versions")) return runs;
    for (const auto& item : std::filesystem::directory_iterator(tree.Full(".ravelmoor-versions")))
        runs.insert(item.path().filename().string());
    return runs;
}

struct VersionsCase {
    const char* name;
    bool ftp;
    bool deletePermanently;
};

void PrintTo(const VersionsCase& c, std::ostream* out) {
    *out << c.name;
}

class ServerVersionsCommand : public ::testing::TestWithParam<VersionsCase> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, ServerVersionsCommand,
    ::testing::Values(VersionsCase{"YesOntoFtpRefusedEveryReplacement", true, false},
                      VersionsCase{"YesOntoSftpRefusedEveryReplacement", false, false},
                      VersionsCase{"FtpDeletePermanentlyKeepsNothing", true, true},
                      VersionsCase{"SftpDeletePermanentlyKeepsNothing", false, true}),
    [](const auto& c) { return std::string(c.param.name); });

// A sync with --yes onto a server replaces and deletes there, keeping the
// old objects in the versions folder (one folder for the run, named after
// its start in UTC), which no comparison lists; undo brings them back
// exactly. Versions older than --keep-versions go first. With
// --delete-permanently nothing is kept.
TEST_P(ServerVersionsCommand, KeepsReplacedAndDeletedFilesOnTheServer) {
    const VersionsCase& c = GetParam();
    std::unique_ptr<test::SshTestServer> sftp;
    std::unique_ptr<CommandLine> owner;
    if (c.ftp) {
        owner = std::make_unique<CommandLine>(std::vector<std::string>{});
    } else {
        sftp = std::make_unique<test::SshTestServer>();
        ASSERT_TRUE(sftp->Running());
        owner = std::make_unique<CommandLine>(sftp->Connection("/"));
    }
    CommandLine& cli = *owner;
    ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
    const std::string spaced = "Grüße und Leer/ü b.txt";
    const std::string recent = StampOf(std::time(nullptr) - 86400);
    cli.served.Write("a.txt", "server a", 1000);
    cli.served.Write("gone.txt", "gone", 1100);
    cli.served.Write(spaced, "alt", 1200);
    cli.served.Write("same.txt", "same", 1000);
    cli.served.Write(".ravelmoor-versions/2000-01-01-000000/x.txt", "ancient", 1000);
    cli.served.Write(".ravelmoor-versions/" + recent + "/y.txt", "recent", 1000);
    cli.local.Write("a.txt", "local a", 2000);
    cli.local.Write(spaced, "neu", 2000);
    cli.local.Write("same.txt", "same", 1000);
    TreeState before = ServerSnapshot(cli.served);

    std::vector<std::string> args = {"sync",
                                     "-r",
                                     "--method",
                                     "force",
                                     "--yes",
                                     "-v",
                                     "--keep-versions",
                                     "30",
                                     "--accept-new-host-key"};
    if (c.deletePermanently) args.emplace_back("--delete-permanently");
    const auto start = static_cast<int64_t>(std::time(nullptr));
    const auto synced = cli.Run(args);
    const auto end = static_cast<int64_t>(std::time(nullptr));
    ASSERT_EQ(synced.exitCode, 0) << synced.out << synced.err;
    EXPECT_EQ(cli.served.Read("a.txt"), "local a");
    EXPECT_EQ(cli.served.Read(spaced), "neu");
    EXPECT_FALSE(cli.served.Exists("gone.txt"));
    EXPECT_NE(synced.out.find("Removed the versions kept on the server in"), std::string::npos)
        << synced.out;
    EXPECT_NE(synced.out.find("2000-01-01-000000\": older than 30 days."), std::string::npos)
        << synced.out;
    std::set<std::string> runs = RunFolders(cli.served);
    EXPECT_EQ(runs.erase(recent), 1U);
    if (c.deletePermanently) {
        EXPECT_TRUE(runs.empty()) << *runs.begin();
        return;
    }
    ASSERT_EQ(runs.size(), 1U);
    const std::string run = *runs.begin();
    EXPECT_GE(run, StampOf(start));
    EXPECT_LE(run.substr(0, 17), StampOf(end));
    const std::string kept = ".ravelmoor-versions/" + run + "/";
    const TreeState served = ServerSnapshot(cli.served);
    EXPECT_EQ(served.at(kept + "a.txt"), "server a @1000");
    EXPECT_EQ(served.at(kept + "gone.txt"), "gone @1100");
    EXPECT_EQ(served.at(kept + spaced), "alt @1200");
    const std::string said = synced.out + synced.err;
    EXPECT_NE(said.find("1 deleted object kept on the server, 2 replaced files kept on the server"),
              std::string::npos)
        << said;

    const auto again = cli.Run({"compare", "-r", "--method", "both"});
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;

    const auto undo = RunRavelmoor({"undo", "--yes"}, cli.environment);
    EXPECT_EQ(undo.exitCode, 0) << undo.out << undo.err;
    for (const std::string gone :
         {".ravelmoor-versions/2000-01-01-000000", ".ravelmoor-versions/2000-01-01-000000/x.txt"}) {
        before.erase(gone);
    }
    EXPECT_EQ(ServerSnapshot(cli.served), before);
}

// Undo brings back only the very version the sync kept: one changed on the
// server since stays where it is, and so does the file that replaced it.
TEST(FtpUndo, KeptVersionChangedSince_LeftWhereItIs) {
    CommandLine cli(std::vector<std::string>{});
    ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
    cli.served.Write("a.txt", "server a", 1000);
    cli.local.Write("a.txt", "local a", 2000);
    const auto synced = cli.Run({"sync", "--method", "update", "--yes"});
    ASSERT_EQ(synced.exitCode, 0) << synced.out << synced.err;
    const std::set<std::string> runs = RunFolders(cli.served);
    ASSERT_EQ(runs.size(), 1U);
    const std::string kept = ".ravelmoor-versions/" + *runs.begin() + "/a.txt";
    cli.served.Write(kept, "someone else's a", 1000);

    const auto undo = RunRavelmoor({"undo", "--yes"}, cli.environment);
    EXPECT_EQ(undo.exitCode, 1) << undo.out << undo.err;
    EXPECT_NE(undo.err.find("The old version of /a.txt is no longer kept on the server."),
              std::string::npos)
        << undo.err;
    EXPECT_EQ(cli.served.Read("a.txt"), "local a");
    EXPECT_EQ(cli.served.Read(kept), "someone else's a");
}

// A server that sends half a file and still says the transfer is complete:
// the good local file stays, the object is reported, and the sync ends with
// exit status 1.
TEST(FtpTruncatedDownload, LeavesTheLocalFileAndSaysSo) {
    CommandLine cli(std::vector<std::string>{"--truncate-download"});
    ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
    cli.served.Write("big.bin", std::string(300000, 'n'), 2000);
    cli.served.Write("small.txt", "whole", 2000);
    cli.local.Write("big.bin", "the good old content", 1000);
    const TreeState servedBefore = ServerSnapshot(cli.served);
    const TreeState localBefore = ServerSnapshot(cli.local);
    const auto synced = cli.Run({"sync", "--method", "update", "--yes"}, false);
    EXPECT_EQ(synced.exitCode, 1) << synced.out << synced.err;
    EXPECT_EQ(ServerSnapshot(cli.served), servedBefore);
    // small.txt too was cut: nothing half-written stays.
    EXPECT_EQ(ServerSnapshot(cli.local), localBefore);
    EXPECT_NE(synced.err.find("Can not copy \"/big.bin\" to \"" + cli.local.Full("big.bin") +
                              "\": 150000 of 300000 bytes arrived; the copy is incomplete."),
              std::string::npos)
        << synced.err;
    EXPECT_NE(synced.out.find("2 objects were not copied or deleted."), std::string::npos)
        << synced.out;
}

// A server that keeps only part of what it was sent and still reports the
// transfer complete: the upload is checked on the server before it goes in
// place, so the server's files stay as they were, and the sync exits 1.
TEST(FtpTruncatedUpload, LeavesTheServersFileAndSaysSo) {
    CommandLine cli(std::vector<std::string>{"--truncate-upload"});
    ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
    cli.local.Write("big.bin", std::string(300000, 'n'), 2000);
    cli.served.Write("big.bin", "the good old content", 1000);
    const TreeState servedBefore = ServerSnapshot(cli.served);
    const auto synced = cli.Run({"sync", "--method", "update", "--yes", "--delete-permanently"});
    EXPECT_EQ(synced.exitCode, 1) << synced.out << synced.err;
    EXPECT_EQ(ServerSnapshot(cli.served), servedBefore);
    EXPECT_NE(synced.err.find("the server kept 150000 of the 300000 bytes sent; it was not put in "
                              "place."),
              std::string::npos)
        << synced.err;
}

// Undo of a sync onto a server: what the sync uploaded is removed again; a
// file it replaced there had no trash to go to, so undo names it and leaves
// the server's file as the sync left it. The connection is named "host/"
// (with its slash), which undo once cut off and then could not find.
TEST(FtpUndo, ConnectionNameWithSlashFound_UploadsRemoved_UnkeptFileNamed) {
    CommandLine cli(std::vector<std::string>{});
    ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
    cli.served.Write("a.txt", "server a", 1000);
    cli.served.Write("keep.txt", "keep", 1000);
    cli.local.Write("a.txt", "local a", 2000);
    cli.local.Write("keep.txt", "keep", 1000);
    cli.local.Write("new/n.txt", "new", 2000);
    const auto synced =
        cli.Run({"sync", "-r", "--method", "update", "--yes", "--delete-permanently"});
    ASSERT_EQ(synced.exitCode, 0) << synced.out << synced.err;
    ASSERT_EQ(cli.served.Read("new/n.txt"), "new");

    const auto undo = RunRavelmoor({"undo", "--yes"}, cli.environment);
    EXPECT_EQ(undo.exitCode, 1) << undo.out << undo.err;
    EXPECT_EQ(ServerSnapshot(cli.served),
              (TreeState{{"a.txt", "local a @2000"}, {"keep.txt", "keep @1000"}}));
    EXPECT_NE(undo.err.find("/a.txt was not kept; undo can not bring it back."), std::string::npos)
        << undo.err;
}

// Undo of a sync onto an SFTP folder, the connection named every way a user
// names one: the journal keeps the side as "(sftp) NAME/", which undo once
// looked up as the name "NAME/" ("Target SFTP connection not found") and so
// undid nothing. Uploads are removed again; the replaced file had no trash
// to go to and is named.
TEST(SftpUndo, TargetSftpConnectionNotFound_FoundByEveryName) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    for (const std::string name : {"box", "box/", "my box", "box (old)"}) {
        CommandLine cli(server.Connection("/"), false, name);
        ASSERT_EQ(cli.added.exitCode, 0) << name << cli.added.err;
        cli.served.Write("a.txt", "server a", 1000);
        cli.local.Write("a.txt", "local a", 2000);
        cli.local.Write("new/n.txt", "new", 2000);
        const auto synced = cli.Run({"sync", "-r", "--method", "update", "--yes",
                                     "--delete-permanently", "--accept-new-host-key"});
        ASSERT_EQ(synced.exitCode, 0) << name << synced.out << synced.err;
        ASSERT_EQ(cli.served.Read("new/n.txt"), "new");

        const auto undo = RunRavelmoor({"undo", "--yes"}, cli.environment);
        EXPECT_EQ(undo.exitCode, 1) << name << undo.out << undo.err;
        EXPECT_EQ(undo.err.find("connection not found"), std::string::npos) << name << undo.err;
        EXPECT_EQ(ServerSnapshot(cli.served), (TreeState{{"a.txt", "local a @2000"}})) << name;
        EXPECT_NE(undo.err.find("/a.txt was not kept; undo can not bring it back."),
                  std::string::npos)
            << name << undo.err;
    }
}

// A host key nobody has seen is taken only with --accept-new-host-key, never
// with --yes; a changed one never.
TEST(SftpHostKeyOnTheCommandLine, IsTakenOnlyWhenSaidAndNeverWhenChanged) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    CommandLine cli(server.Connection("/"));
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
        {"wrong key", stranger, false, {"refused the logon of " + stranger.user + ": "}},
        {"dropped",
         server.Connection("/"),
         true,
         {"Error on SFTP connection", "listing the folder", "the connection was lost"}},
    };
    for (const Case& c : cases) {
        CommandLine cli(c.connection);
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
