#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>

#include "core/engine/LocalFileSystem.h"
#include "core/engine/Prompter.h"
#include "core/ftp/FtpOpener.h"
#include "ftp/FtpTestServer.h"
#include "support/FaultyFileSystem.h"
#include "support/RunProgram.h"
#include "support/ScriptedPrompter.h"
#include "support/ServerSyncTrees.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;

using TreeState = test::ServerTreeState;
using test::ServerSnapshot;

struct SyncCase {
    const char* name;
    const char* method;
    bool ftpIsTarget;
};

void PrintTo(const SyncCase& c, std::ostream* out) {
    *out << c.name;
}

class FtpSyncCommand : public ::testing::TestWithParam<SyncCase> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Running());
        environment = home.Environment();
        // Local deletions go to a trash of the test's own.
        environment["HOME"] = trash.Path();
        environment["XDG_DATA_HOME"] = trash.Path();
        const auto added =
            RunRavelmoor({"ftp", "add", "--server", server.Server(), "--dir", "/"}, environment);
        ASSERT_EQ(added.exitCode, 0) << added.err;
        ftpSide = "(ftp) " + server.Server() + "/";
    }

    test::ProgramResult Run(std::vector<std::string> args) {
        const bool ftpIsTarget = GetParam().ftpIsTarget;
        args.push_back(ftpIsTarget ? local.Path() : ftpSide);
        args.push_back(ftpIsTarget ? ftpSide : local.Path());
        return RunRavelmoor(args, environment);
    }
    test::TempTree& Source() { return GetParam().ftpIsTarget ? local : served; }
    test::TempTree& Target() { return GetParam().ftpIsTarget ? served : local; }

    test::TempTree served;
    test::TempTree local;
    test::FtpTestServer server{served.Path()};
    test::TempConfigHome home;
    test::TempTree trash;
    std::map<std::string, std::string> environment;
    std::string ftpSide;
};

INSTANTIATE_TEST_SUITE_P(Cases, FtpSyncCommand,
                         ::testing::Values(SyncCase{"ForceOntoFtp", "force", true},
                                           SyncCase{"AlignWithFtpTarget", "align", true},
                                           SyncCase{"AlignWithFtpSource", "align", false}),
                         [](const auto& c) { return std::string(c.param.name); });

TEST_P(FtpSyncCommand, LeavesTheHandComputedTrees) {
    test::WriteServerSyncSides(Source(), Target());
    const TreeState source = ServerSnapshot(Source());
    const TreeState target = ServerSnapshot(Target());
    TreeState sourceAfter;
    TreeState targetAfter;
    test::ExpectedAfterSync(GetParam().method, source, target, sourceAfter, targetAfter);

    const auto preview = Run({"sync", "-r", "--method", GetParam().method, "--preview"});
    EXPECT_EQ(preview.exitCode, 1) << preview.err;
    EXPECT_EQ(ServerSnapshot(Source()), source);
    EXPECT_EQ(ServerSnapshot(Target()), target);

    const auto synced =
        Run({"sync", "-r", "--method", GetParam().method, "--yes", "--delete-permanently"});
    EXPECT_EQ(synced.exitCode, 0) << synced.out << synced.err;
    EXPECT_EQ(ServerSnapshot(Source()), sourceAfter);
    EXPECT_EQ(ServerSnapshot(Target()), targetAfter);
    if (GetParam().ftpIsTarget && std::string(GetParam().method) == "force") {
        // A server has no trash: --delete-permanently answered the one question about
        // deleting for good without a word, and nothing spoke of a trash.
        EXPECT_EQ(synced.err.find("permanently?"), std::string::npos) << synced.err;
        EXPECT_EQ(synced.err.find("to the trash?"), std::string::npos) << synced.err;
    }

    const auto compared = Run({"compare", "-r", "--method", "both"});
    EXPECT_EQ(compared.exitCode, 0) << compared.out << compared.err;
}

// The write side called directly, against the server's folder on disk.
class FtpWriteSide : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Running());
        ftp = OpenFtpSide(server.Connection("/"), prompter, nullptr);
        ASSERT_NE(ftp, nullptr);
    }

    test::TempTree served;
    test::TempTree local;
    test::FtpTestServer server{served.Path()};
    test::ScriptedPrompter prompter;
    std::unique_ptr<FileSystem> ftp;
};

TEST_F(FtpWriteSide, AnswersLikeTheLocalSide) {
    served.Write("Docs/keep.txt", "kept");
    served.Write("file.txt", "x");
    served.MakeFolder("empty");
    local.Write("new.txt", "new content", 1234);
    const std::string from = local.Full("new.txt");
    LocalFileSystem localFs;
    CopyControl replace;
    replace.replaceExisting = true;
    struct Case {
        const char* call;
        WriteStatus status;
        WriteOutcome outcome;
    };
    const Case cases[] = {
        {"copy to a new place", WriteStatus::Done,
         ftp->CopyIn(localFs, from, "/", "A/B/new.txt", {})},
        {"copy onto a file without replacing", WriteStatus::Exists,
         ftp->CopyIn(localFs, from, "/", "Docs/keep.txt", {})},
        {"copy below a file", WriteStatus::Refused,
         ftp->CopyIn(localFs, from, "/", "file.txt/x", replace)},
        {"copy through ..", WriteStatus::Refused,
         ftp->CopyIn(localFs, from, "/", "Docs/../x", replace)},
        {"make a folder that is there", WriteStatus::Exists, ftp->MakeFolder("/", "Docs")},
        {"make nested folders", WriteStatus::Done, ftp->MakeFolder("/", "N1/N2")},
        {"remove a folder with a file", WriteStatus::NotEmpty, ftp->RemoveFolder("/", "Docs")},
        {"remove an empty folder", WriteStatus::Done, ftp->RemoveFolder("/", "empty")},
        {"move to the trash", WriteStatus::NoTrash, ftp->MoveToTrash("/", "file.txt")},
        {"delete a file", WriteStatus::Done, ftp->DeletePermanently("/", "file.txt")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.outcome.status, c.status) << c.call << ": " << c.outcome.reason;
    EXPECT_EQ(served.Read("A/B/new.txt"), "new content");
    EXPECT_EQ(served.Time("A/B/new.txt"), 1234);
    EXPECT_EQ(served.Read("Docs/keep.txt"), "kept");
    EXPECT_TRUE(served.Exists("N1/N2"));
    EXPECT_FALSE(served.Exists("empty"));
    EXPECT_FALSE(served.Exists("file.txt"));
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_F(FtpWriteSide, FailedOrCancelledUploadLeavesTheDestinationAsItWas) {
    served.Write("target.bin", "the old content", 1000);
    local.Write("big.bin", std::string(300000, 'n'));
    const TreeState before = ServerSnapshot(served);
    test::FaultyFileSystem breaking;
    breaking.FailReadAfter("big.bin", 100000);
    CopyControl replace;
    replace.replaceExisting = true;
    const WriteOutcome failed =
        ftp->CopyIn(breaking, local.Full("big.bin"), "/", "target.bin", replace);
    EXPECT_EQ(failed.status, WriteStatus::Failed);
    EXPECT_EQ(ServerSnapshot(served), before);

    std::atomic<int32_t> cancel{1};
    replace.cancel = &cancel;
    LocalFileSystem localFs;
    const WriteOutcome cancelled =
        ftp->CopyIn(localFs, local.Full("big.bin"), "/", "target.bin", replace);
    EXPECT_EQ(cancelled.status, WriteStatus::Cancelled);
    EXPECT_EQ(ServerSnapshot(served), before);
}

// A server that sends half a file and still says the transfer is complete:
// the good local file stays, the object is reported, and the sync ends with
// exit status 1.
TEST(FtpTruncatedDownload, LeavesTheLocalFileAndSaysSo) {
    test::TempTree served;
    test::TempTree local;
    test::TempConfigHome home;
    served.Write("big.bin", std::string(300000, 'n'), 2000);
    served.Write("small.txt", "whole", 2000);
    local.Write("big.bin", "the good old content", 1000);
    test::FtpTestServer server(served.Path(), {}, {}, {"--truncate-download"});
    ASSERT_TRUE(server.Running());
    auto environment = home.Environment();
    environment["HOME"] = home.Path();
    environment["XDG_DATA_HOME"] = home.Path() + "/data";
    ASSERT_EQ(RunRavelmoor({"ftp", "add", "--server", server.Server(), "--dir", "/"}, environment)
                  .exitCode,
              0);
    const TreeState servedBefore = ServerSnapshot(served);
    const TreeState localBefore = ServerSnapshot(local);
    const auto synced = RunRavelmoor(
        {"sync", "--method", "update", "--yes", "(ftp) " + server.Server() + "/", local.Path()},
        environment);
    EXPECT_EQ(synced.exitCode, 1) << synced.out << synced.err;
    EXPECT_EQ(ServerSnapshot(served), servedBefore);
    EXPECT_EQ(ServerSnapshot(local),
              localBefore);  // small.txt too was cut: nothing half-written stays
    EXPECT_NE(synced.err.find("Can not copy \"/big.bin\" to \"" + local.Full("big.bin") +
                              "\": 150000 of 300000 bytes arrived; the copy is incomplete."),
              std::string::npos)
        << synced.err;
    EXPECT_NE(synced.out.find("2 objects were not copied or deleted."), std::string::npos)
        << synced.out;
}

// Undo of a sync onto a server: what the sync uploaded is removed again; a
// file it replaced there had no trash to go to, so undo names it and leaves
// the server's file as the sync left it. The connection is named "host/"
// (with its slash), which undo once cut off and then could not find.
TEST(FtpUndo, ConnectionNameWithSlashFound_UploadsRemoved_UnkeptFileNamed) {
    test::TempTree served;
    test::TempTree local;
    test::TempConfigHome home;
    served.Write("a.txt", "server a", 1000);
    served.Write("keep.txt", "keep", 1000);
    local.Write("a.txt", "local a", 2000);
    local.Write("keep.txt", "keep", 1000);
    local.Write("new/n.txt", "new", 2000);
    test::FtpTestServer server(served.Path());
    ASSERT_TRUE(server.Running());
    auto environment = home.Environment();
    environment["HOME"] = home.Path();
    environment["XDG_DATA_HOME"] = home.Path() + "/data";
    environment["XDG_STATE_HOME"] = home.Path() + "/state";
    ASSERT_EQ(RunRavelmoor({"ftp", "add", "--server", server.Server(), "--dir", "/"}, environment)
                  .exitCode,
              0);
    const auto synced =
        RunRavelmoor({"sync", "-r", "--method", "update", "--yes", "--delete-permanently",
                      local.Path(), "(ftp) " + server.Server() + "/"},
                     environment);
    ASSERT_EQ(synced.exitCode, 0) << synced.out << synced.err;
    ASSERT_EQ(served.Read("new/n.txt"), "new");

    const auto undo = RunRavelmoor({"undo", "--yes"}, environment);
    EXPECT_EQ(undo.exitCode, 1) << undo.out << undo.err;
    EXPECT_EQ(ServerSnapshot(served),
              (TreeState{{"a.txt", "local a @2000"}, {"keep.txt", "keep @1000"}}));
    EXPECT_NE(undo.err.find("/a.txt was not kept; undo can not bring it back."), std::string::npos)
        << undo.err;
}

}  // namespace
}  // namespace ravelmoor
