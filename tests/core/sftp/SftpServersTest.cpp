#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
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

using test::SftpServing;

// Writes `content` to `path` (folders made as needed) with the time `time`.
void Put(const std::string& path, const std::string& content, int64_t time) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    const timespec times[2] = {{time, 0}, {time, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

struct SftpCase {
    const char* name;
    SftpServing serving;
    bool up;  // the local tree is Source
    const char* method;
};

void PrintTo(const SftpCase& c, std::ostream* out) {
    *out << c.name;
}

class SftpServers : public ::testing::TestWithParam<SftpCase> {};

INSTANTIATE_TEST_SUITE_P(
    Table, SftpServers,
    ::testing::Values(
        SftpCase{"InsideSshdUp", SftpServing::InsideSshd, true, "update"},
        SftpCase{"InsideSshdDown", SftpServing::InsideSshd, false, "force"},
        SftpCase{"ChrootUp", SftpServing::InsideChroot, true, "update"},
        SftpCase{"ChrootDown", SftpServing::InsideChroot, false, "force"},
        SftpCase{"SftpServerProgramUp", SftpServing::SftpServerProgram, true, "update"},
        SftpCase{"SftpServerProgramDown", SftpServing::SftpServerProgram, false, "force"}),
    [](const auto& c) { return std::string(c.param.name); });

// OpenSSH as people run it (SFTP inside sshd, shut in a chroot, or its
// sftp-server program): a sync converges, to the second, and the next
// comparison finds the two trees identical.
TEST_P(SftpServers, SyncConvergesToTheSecond) {
    const SftpCase& c = GetParam();
    test::SshTestServer server(c.serving);
    if (!server.Missing().empty()) GTEST_SKIP() << server.Missing();
    ASSERT_TRUE(server.Running());
    test::TempTree own;  // the served folder, where no chroot has one
    const bool chrooted = c.serving == SftpServing::InsideChroot;
    const std::string served = chrooted ? server.ChrootFolder() + "/pub" : own.Path();
    const std::string directory = chrooted ? "/pub/" : own.Root();
    const SftpConnection logon = server.Connection(directory);

    test::TempConfigHome home;
    test::TempTree local;
    test::TempTree state;
    auto environment = home.Environment();
    environment["XDG_STATE_HOME"] = state.Path();
    // Locks of its own: the other rows lock a side named "(sftp) box" too.
    environment["XDG_RUNTIME_DIR"] = state.Path();
    environment["XDG_DATA_HOME"] = state.Full("data");
    const auto added = test::RunRavelmoor(
        {"sftp", "add", "--server", logon.host + ":" + std::to_string(logon.port), "--user",
         logon.user, "--identity", logon.keyFile, "--dir", directory, "--name", "box"},
        environment);
    ASSERT_EQ(added.exitCode, 0) << added.err;

    const std::string source = c.up ? local.Path() : served;
    const std::string target = c.up ? served : local.Path();
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    Put(source + "/old.txt", "long ago", 1577934245);
    Put(source + "/with space/Ünïcödé name.txt", "ü", now - 7200);
    Put(source + "/deep/er/new.txt", "today", now - 60);
    Put(target + "/old.txt", "replaced", 1577934245 - 86400);
    if (!c.up) Put(target + "/gone/only here.txt", "deleted", now);
    const std::vector<std::string> sides =
        c.up ? std::vector<std::string>{local.Path(), "(sftp) box"}
             : std::vector<std::string>{"(sftp) box", local.Path()};
    auto run = [&](std::vector<std::string> args) {
        args.emplace_back("--accept-new-host-key");
        args.insert(args.end(), sides.begin(), sides.end());
        return test::RunRavelmoor(args, environment);
    };
    const auto synced = run({"sync", "-r", "--method", c.method, "--yes", "--delete-permanently"});
    ASSERT_EQ(synced.exitCode, 0) << synced.out << synced.err;
    EXPECT_EQ(test::ServerSnapshot(target), test::ServerSnapshot(source));
    const auto compared = run({"compare", "-r", "--method", "both"});
    EXPECT_EQ(compared.exitCode, 0) << compared.out << compared.err;
    const auto again = run({"sync", "-r", "--method", c.method, "--preview"});
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
}

}  // namespace
}  // namespace ravelmoor
