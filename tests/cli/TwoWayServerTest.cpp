#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "support/ServerCommandLine.h"
#include "support/SshTestServer.h"

namespace ravelmoor::test {
namespace {

using Files = std::map<std::string, std::string>;

// The tree without what the server keeps of replaced files.
Files Contents(const TempTree& tree) {
    Files files = tree.Contents();
    std::erase_if(files,
                  [](const auto& file) { return file.first.starts_with(".ravelmoor-versions"); });
    return files;
}

struct ServerRow {
    const char* name;
    bool ftp;
    bool serverIsTarget;
};

// Two-way with a folder on a server: edits, new files, deletions and a
// renamed folder on either side meet on the other, and a second run has
// nothing to do. A server lists no inodes: what moved there is told by name,
// size and time (a folder whose files all moved alike, as one rename), and
// renamed on the other side, not copied again.
TEST(TwoWayServer, ChangesOnEitherSideMeet) {
    const ServerRow rows[] = {
        {"SFTP as Target", false, true},
        {"SFTP as Source", false, false},
        {"FTP as Target", true, true},
    };
    for (const ServerRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<SshTestServer> sftp;
        std::unique_ptr<CommandLine> owner;
        if (row.ftp) {
            owner = std::make_unique<CommandLine>(std::vector<std::string>{});
        } else {
            sftp = std::make_unique<SshTestServer>();
            if (!sftp->Running()) GTEST_SKIP() << "no sshd on this machine";
            owner = std::make_unique<CommandLine>(sftp->Connection("/"));
        }
        CommandLine& cli = *owner;
        ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
        TempTree& server = cli.served;
        TempTree& local = cli.local;
        for (TempTree* tree : {&server, &local}) {
            tree->Write("a.txt", "a");
            tree->Write("gone.txt", "g");
            tree->Write("d/x.txt", "x");
            tree->Write("d/y.txt", "y");
        }
        const auto run = [&](std::vector<std::string> extra) {
            std::vector<std::string> args = {"sync",
                                             "-r",
                                             "--method",
                                             "two-way",
                                             "--accept-new-host-key",
                                             "--delete-permanently"};
            args.insert(args.end(), extra.begin(), extra.end());
            return cli.Run(args, row.serverIsTarget);
        };
        const ProgramResult first = run({"--yes"});
        ASSERT_EQ(first.exitCode, 0) << first.out << first.err;

        server.Write("a.txt", "a from the server", TempTree::kDefaultTime + 600);
        local.Write("new.txt", "new here", TempTree::kDefaultTime + 600);
        std::filesystem::remove(server.Full("gone.txt"));
        std::filesystem::rename(local.Full("d"), local.Full("e"));
        const ProgramResult synced = run({"--yes"});
        EXPECT_EQ(synced.exitCode, 0) << synced.out << synced.err;
        // The folder is renamed on the other side, not copied again.
        EXPECT_NE(synced.out.find("Renamed: 1."), std::string::npos) << synced.out;
        const Files expected = {{"a.txt", "a from the server"},
                                {"new.txt", "new here"},
                                {"e", "/"},
                                {"e/x.txt", "x"},
                                {"e/y.txt", "y"}};
        EXPECT_EQ(Contents(local), expected);
        EXPECT_EQ(Contents(server), expected);
        const ProgramResult again = run({"-n"});
        EXPECT_EQ(again.exitCode, 0) << again.out << again.err;

        // A folder renamed on the server, whose listing has no inodes.
        std::filesystem::rename(server.Full("e"), server.Full("f"));
        const ProgramResult back = run({"--yes"});
        EXPECT_EQ(back.exitCode, 0) << back.out << back.err;
        EXPECT_NE(back.out.find("0 files copied"), std::string::npos) << back.out;
        EXPECT_NE(back.out.find("Renamed: 1."), std::string::npos) << back.out;
        Files renamed = expected;
        renamed.erase("e");
        renamed.erase("e/x.txt");
        renamed.erase("e/y.txt");
        renamed.insert({{"f", "/"}, {"f/x.txt", "x"}, {"f/y.txt", "y"}});
        EXPECT_EQ(Contents(local), renamed);
        EXPECT_EQ(Contents(server), renamed);

        // Undo gives the local folder its old name back, and the memory with
        // it: the next run plans the same rename again.
        const ProgramResult undone = RunRavelmoor({"undo", "--yes"}, cli.environment);
        EXPECT_EQ(undone.exitCode, 0) << undone.out << undone.err;
        EXPECT_EQ(Contents(local), expected);
        EXPECT_EQ(Contents(server), renamed);
        const ProgramResult replanned = run({"-n"});
        EXPECT_EQ(replanned.exitCode, 1) << replanned.out << replanned.err;
        EXPECT_NE(replanned.out.find("e -> f"), std::string::npos) << replanned.out;
    }
}

// With the listing agent the server tells each object's inode: a file
// renamed or moved there, whose new name alone would not tell it, is renamed
// on the local side with nothing copied, whichever side the server is.
TEST(TwoWayServer, AMoveOnTheServerIsKnownByItsInode) {
    struct MoveRow {
        const char* name;
        bool serverIsTarget;
        const char* from;
        const char* to;
    };
    const MoveRow rows[] = {
        {"renamed, SFTP as Target", true, "a.txt", "b.txt"},
        {"moved to another folder, SFTP as Source", false, "d/x.txt", "moved.txt"},
    };
    const char* binary = std::getenv("RAVELMOOR_BINARY");
    ASSERT_NE(binary, nullptr);
    SshTestServer sftp;
    if (!sftp.Running()) GTEST_SKIP() << "no sshd on this machine";
    for (const MoveRow& row : rows) {
        SCOPED_TRACE(row.name);
        SftpConnection connection = sftp.Connection("/");
        connection.agentPath = binary;
        CommandLine cli(connection);
        ASSERT_EQ(cli.added.exitCode, 0) << cli.added.err;
        // Twins in size and time: only the inode tells which one moved.
        Files expected = {{"a.txt", "1"}, {"c.txt", "2"}, {"d/x.txt", "3"}, {"d/y.txt", "4"}};
        for (TempTree* tree : {&cli.served, &cli.local}) {
            for (const auto& [path, content] : expected)
                tree->Write(path, content);
        }
        expected["d"] = "/";
        const auto run = [&](const char* how) {
            return cli.Run({"sync", "-r", "--method", "two-way", "--accept-new-host-key",
                            "--delete-permanently", how},
                           row.serverIsTarget);
        };
        const ProgramResult first = run("--yes");
        ASSERT_EQ(first.exitCode, 0) << first.out << first.err;

        std::filesystem::rename(cli.served.Full(row.from), cli.served.Full(row.to));
        const ProgramResult moved = run("--yes");
        EXPECT_EQ(moved.exitCode, 0) << moved.out << moved.err;
        EXPECT_NE(moved.out.find("0 files copied"), std::string::npos) << moved.out;
        EXPECT_NE(moved.out.find("Renamed: 1."), std::string::npos) << moved.out;
        expected[row.to] = expected[row.from];
        expected.erase(row.from);
        EXPECT_EQ(Contents(cli.local), expected);
        EXPECT_EQ(Contents(cli.served), expected);
        const ProgramResult again = run("-n");
        EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
    }
}

}  // namespace
}  // namespace ravelmoor::test
