#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "core/engine/FileList.h"
#include "core/engine/ListingGuard.h"
#include "core/engine/ScanFolder.h"
#include "core/ftp/FtpOpener.h"
#include "core/sftp/SftpFileSystem.h"
#include "core/sftp/SftpOpener.h"
#include "support/FtpTestServer.h"
#include "support/RunProgram.h"
#include "support/ScriptedPrompter.h"
#include "support/SshTestServer.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

// "d/d/.../d/" with `levels` folders.
std::string Nested(size_t levels) {
    std::string path;
    for (size_t i = 0; i < levels; ++i)
        path += "d/";
    return path;
}

size_t Count(const std::vector<std::string>& texts, const std::string& words) {
    size_t count = 0;
    for (const std::string& text : texts)
        count += text.find(words) != std::string::npos ? 1 : 0;
    return count;
}

struct BoundCase {
    const char* name;
    bool ftp;
    bool loop;               // a link to its own folder, which the server follows
    const char* unlistable;  // the branch that is not listed
    const char* warning;     // words of the one warning
};

void PrintTo(const BoundCase& c, std::ostream* out) {
    *out << c.name;
}

class EndlessServerTree : public ::testing::TestWithParam<BoundCase> {};

INSTANTIATE_TEST_SUITE_P(
    Servers, EndlessServerTree,
    ::testing::Values(BoundCase{"FtpLoop", true, true, "loop/loop/loop/", "a loop"},
                      BoundCase{"FtpDeeperThan256", true, false, "", "more than 256 levels deep"},
                      BoundCase{"SftpDeeperThan256", false, false, "",
                                "more than 256 levels deep"}),
    [](const auto& c) { return std::string(c.param.name); });

// A server's tree that never ends (a folder it serves inside itself) or
// goes deeper than any real one: the listing stops that branch, counts it as
// a folder that could not be listed, and says so once.
TEST_P(EndlessServerTree, StopsTheBranchWithOneWarning) {
    const BoundCase& c = GetParam();
    test::TempTree served;
    served.Write("a.txt", "a");
    std::string unlistable = c.unlistable;
    if (c.loop) {
        ASSERT_EQ(::symlink(".", served.Full("loop").c_str()), 0);
    } else {
        served.Write(Nested(ListingGuard::kMaxDepth + 2) + "bottom.txt", "b");
        unlistable = Nested(ListingGuard::kMaxDepth + 1);
    }
    test::ScriptedPrompter prompter;
    std::unique_ptr<test::FtpTestServer> ftp;
    std::unique_ptr<test::SshTestServer> ssh;
    std::unique_ptr<FileSystem> side;
    std::string root;
    if (c.ftp) {
        ftp = std::make_unique<test::FtpTestServer>(served.Path());
        side = OpenFtpSide(ftp->Connection("/"), prompter, nullptr).value;
        root = "/";
    } else {
        ssh = std::make_unique<test::SshTestServer>();
        side =
            OpenSftpSide(ssh->Connection(served.Root()), prompter, nullptr, UnknownHostKey::Accept)
                .value;
        root = served.Root();
    }
    ASSERT_NE(side, nullptr);
    FileList list;
    std::vector<std::string> notListed;
    ScanOptions options;
    options.includeSubFolders = true;
    options.recordFolders = true;
    options.unlistable = &notListed;
    const ScanResult result = ScanFolder(*side, list, root, options);
    EXPECT_TRUE(result.ok);
    for (std::string& folder : notListed)
        RemoveFolderMarkers(folder);
    EXPECT_EQ(notListed, std::vector<std::string>{unlistable});
    EXPECT_EQ(Count(prompter.Texts(), c.warning), 1U) << ::testing::PrintToString(prompter.Texts());
    EXPECT_LT(list.GetSize(), 2 * ListingGuard::kMaxDepth + 10);
}

// The fault as a user met it: a server whose tree never ends is the Source
// of a sync that deletes what the Source lacks. The sync ends, and what lies
// on the Target below the branch that was not listed stays.
TEST(EndlessFtpTree, SyncEndsAndDeletesNothingBelowTheBranch) {
    test::TempTree served;
    test::TempTree local;
    test::TempTree state;
    served.Write("a.txt", "a");
    ASSERT_EQ(::symlink(".", served.Full("loop").c_str()), 0);
    local.Write("loop/loop/loop/loop/deep.txt", "kept");
    local.Write("gone.txt", "deleted: the Source lacks it");
    test::FtpTestServer server(served.Path());
    ASSERT_TRUE(server.Running());
    test::TempConfigHome home;
    auto environment = home.Environment();
    environment["XDG_STATE_HOME"] = state.Path();
    environment["XDG_RUNTIME_DIR"] = state.Path();  // locks of its own
    environment["XDG_DATA_HOME"] = state.Full("data");
    ASSERT_EQ(
        test::RunRavelmoor({"ftp", "add", "--server", server.Server(), "--dir", "/"}, environment)
            .exitCode,
        0);
    const auto synced = test::RunRavelmoor({"sync", "-r", "--method", "force", "--yes",
                                            "(ftp) " + server.Server() + "/", local.Path()},
                                           environment);
    EXPECT_NE(synced.err.find("a loop"), std::string::npos) << synced.err;
    EXPECT_EQ(local.Read("loop/loop/loop/loop/deep.txt"), "kept");
    EXPECT_FALSE(local.Exists("gone.txt")) << synced.out << synced.err;
    EXPECT_EQ(local.Read("loop/loop/a.txt"), "a");
}

}  // namespace
}  // namespace ravelmoor
