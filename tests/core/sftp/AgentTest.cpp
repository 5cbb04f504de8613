#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/engine/Checksum.h"
#include "core/engine/FileList.h"
#include "core/engine/ScanFolder.h"
#include "core/local/LocalFileSystem.h"
#include "core/sftp/SftpFileSystem.h"
#include "core/sftp/SftpOpener.h"
#include "support/RunProgram.h"
#include "support/ScriptedPrompter.h"
#include "support/SshTestServer.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

std::string Binary() {
    const char* path = std::getenv("RAVELMOOR_BINARY");
    return path != nullptr ? path : "";
}

struct Side {
    test::ScriptedPrompter prompter;
    std::unique_ptr<SftpFileSystem> fs;
};

// Opens the tree as an SFTP side whose agent is `agent` ("" for none there).
void Open(const test::SshTestServer& server, const test::TempTree& tree, const std::string& agent,
          Side& side) {
    SftpConnection connection = server.Connection(tree.Root());
    connection.agentPath = agent.empty() ? tree.Full("no-such-agent") : agent;
    OpenResult<SftpFileSystem> opened =
        OpenSftpSide(connection, side.prompter, nullptr, UnknownHostKey::Accept);
    side.fs = std::move(opened.value);
    ASSERT_TRUE(side.fs) << opened.reason;
}

// Every row of a recursive scan: path, attributes, size, time.
std::vector<std::string> Rows(FileSystem& fs, const std::string& root, bool* ok = nullptr) {
    FileList list;
    ScanOptions options;
    options.includeSubFolders = true;
    options.recordFolders = true;
    const ScanResult result = ScanFolder(fs, list, root, options);
    if (ok != nullptr) *ok = result.ok;
    std::vector<std::string> rows;
    for (size_t i = 0; i < list.GetSize(); ++i) {
        const FileEntry& e = list.ElementAt(i);
        rows.push_back(e.path.str() + " " + std::to_string(e.attributes) + " " +
                       std::to_string(e.size) + " " + std::to_string(e.lastWrite));
    }
    return rows;
}

std::string Script(const test::TempTree& tree, const std::string& name, const std::string& body) {
    std::string path = tree.Full(name);
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), 0755);
    return path;
}

TEST(Agent, ListsTheTreeExactlyAsPlainSftpAndTheLocalSideDo) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    const std::vector<std::pair<const char*, std::function<void(test::TempTree&)>>> trees = {
        {"odd byte names",
         [](test::TempTree& t) {
             t.Write("caf\xe9.txt", "latin-1", 1500000000);
             t.Write("\xff\xfe lead", "ff bytes", 5);
             t.Write("line\nbreak", "a line break", 4000000000);
             t.Write("sp ace/'quote\"", "", 1);
         }},
        {"links never followed",
         [](test::TempTree& t) {
             t.Write("real/file", "data");
             t.Symlink("to-folder", "real");
             t.Symlink("to-file", "real/file");
             t.Symlink("dangling", "../nowhere");
             t.Fifo("pipe");
         }},
        {"empty and nested folders",
         [](test::TempTree& t) {
             t.MakeFolder("empty");
             t.MakeFolder("a/b/c/d/empty too");
             for (int i = 0; i < 3000; ++i)
                 t.Write("a/b/many/" + std::to_string(i), std::string(i % 7, 'x'), 1000000 + i);
         }},
    };
    for (const auto& [what, make] : trees) {
        SCOPED_TRACE(what);
        test::TempTree tree;
        make(tree);
        Side agent;
        Side plain;
        Open(server, tree, Binary(), agent);
        Open(server, tree, "", plain);
        ASSERT_TRUE(agent.fs->UsesAgent());
        ASSERT_FALSE(plain.fs->UsesAgent());
        // Plain SFTP lists as the local side does, folders without size and time.
        LocalFileSystem local;
        const std::vector<std::string> expected = Rows(local, tree.Root());
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(Rows(*plain.fs, tree.Root()), expected);
        EXPECT_EQ(Rows(*agent.fs, tree.Root()), expected);
        // A folder below the connection's, listed again, comes fresh.
        EXPECT_EQ(Rows(*agent.fs, tree.Root()), expected);
        EXPECT_TRUE(agent.prompter.Texts().empty())
            << ::testing::PrintToString(agent.prompter.Texts());
    }
}

TEST(Agent, ChecksumsAreTheLocalOnes) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    test::TempTree tree;
    std::string bytes;
    for (uint32_t i = 0; i < 300000; ++i)
        bytes.push_back(static_cast<char>(i * 7919U % 251U));
    tree.Write("one", "x");
    tree.Write("piece", bytes.substr(0, 16384));
    tree.Write("big", bytes);
    tree.Symlink("link", "big");
    Side agent;
    Open(server, tree, Binary(), agent);
    ASSERT_TRUE(agent.fs->UsesAgent());
    LocalFileSystem local;
    struct Row {
        const char* path;
        uint32_t attributes;
        uint64_t limit;
    };
    const std::vector<Row> rows = {{"one", 0, 0},
                                   {"piece", 0, 0},
                                   {"piece", 0, 5},
                                   {"big", 0, 0},
                                   {"big", 0, 16385},
                                   {"big", 0, 4},
                                   {"link", kSymlinkAttribute, 0}};
    std::vector<FileEntry> remote(rows.size());
    std::vector<const FileEntry*> ahead;
    for (size_t i = 0; i < rows.size(); ++i) {
        remote[i].path = rows[i].path;
        remote[i].attributes = rows[i].attributes;
        EntryFacts facts;
        ASSERT_TRUE(local.ReadFacts(tree.Full(rows[i].path), facts));
        remote[i].size = facts.size;
        ahead.push_back(&remote[i]);
    }
    // Asked ahead as the comparison does; some twice, some only when needed.
    agent.fs->ExpectSums({ahead.begin(), ahead.begin() + 4}, tree.Root(), 0);
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].path + std::string(" limit ") + std::to_string(rows[i].limit));
        FileEntry mine = remote[i];
        ASSERT_TRUE(ComputeChecksum(mine, local, tree.Root(), rows[i].limit, nullptr, nullptr));
        std::atomic<uint64_t> counted{0};
        ASSERT_TRUE(
            ComputeChecksum(remote[i], *agent.fs, tree.Root(), rows[i].limit, nullptr, &counted));
        EXPECT_EQ(remote[i].checksum, mine.checksum);
        EXPECT_EQ(remote[i].checksumBytes, mine.checksumBytes);
        EXPECT_EQ(counted.load(), mine.checksumBytes);
    }
    // A file gone since it was listed is unreadable, and the stream goes on.
    FileEntry gone = remote[0];
    gone.path = "gone";
    EXPECT_FALSE(ComputeChecksum(gone, *agent.fs, tree.Root(), 0, nullptr, nullptr));
    EXPECT_TRUE(ComputeChecksum(remote[1], *agent.fs, tree.Root(), 0, nullptr, nullptr));
    EXPECT_TRUE(agent.prompter.Texts().empty()) << ::testing::PrintToString(agent.prompter.Texts());
}

// The agent tells an object's device and inode, which make a move on the
// server known as one; an agent of the first version lists as before and
// tells none, without a word to the user.
TEST(Agent, TellsIdentitiesAndAFirstVersionAgentStillLists) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    test::TempTree tree;
    tree.Write("a", "a");
    tree.Write("d/b", "b");
    tree.Symlink("l", "no-such-target");
    test::TempTree bin;
    struct Row {
        const char* what;
        std::string agent;
        bool identities;
    };
    const std::vector<Row> rows = {
        {"this version", Binary(), true},
        {"the first version",
         Script(bin, "first",
                "printf 'RVMAGENT\\001'; '" + Binary() +
                    "' agent --dir \"$3\" | dd bs=65536 iflag=skip_bytes skip=9 status=none"),
         false},
    };
    Side plain;
    Open(server, tree, "", plain);
    const std::vector<std::string> expected = Rows(*plain.fs, tree.Root());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Side side;
        Open(server, tree, row.agent, side);
        ASSERT_TRUE(side.fs->UsesAgent());
        EXPECT_EQ(Rows(*side.fs, tree.Root()), expected);
        for (const char* path : {"a", "d", "d/b", "l", "gone"}) {
            SCOPED_TRACE(path);
            struct stat st {};
            const bool there = ::lstat(tree.Full(path).c_str(), &st) == 0;
            uint64_t device = 0;
            uint64_t inode = 0;
            EXPECT_EQ(side.fs->ReadIdentity(tree.Full(path), device, inode),
                      row.identities && there);
            if (row.identities && there) {
                EXPECT_EQ(device, st.st_dev);
                EXPECT_EQ(inode, st.st_ino);
            }
        }
        EXPECT_TRUE(side.prompter.Texts().empty())
            << ::testing::PrintToString(side.prompter.Texts());
    }
}

TEST(Agent, AnotherVersionOrABrokenStreamIsNeverTakenForAListing) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    test::TempTree tree;
    for (int i = 0; i < 2000; ++i)
        tree.Write("f/" + std::to_string(i), "", 1000 + i);
    test::TempTree bin;
    struct Row {
        const char* what;
        std::string body;
        bool listed;          // plain SFTP took over
        const char* message;  // the one text shown
    };
    // What the real agent says to a recursive listing of the tree, cut short.
    const std::string stream =
        test::RunRavelmoor({"agent", "--dir", tree.Path()}, {}, std::string("L\x01\x01", 3)).out;
    ASSERT_GT(stream.size(), 3000U);
    const auto cut = [&](size_t size) {
        const std::string path = bin.Full("cut" + std::to_string(size));
        std::ofstream(path, std::ios::binary) << stream.substr(0, size);
        return "cat '" + path + "'";
    };
    const std::vector<Row> rows = {
        {"another version", "printf 'RVMAGENT\\007'; cat >/dev/null", true,
         "speaks protocol version 7, this program version 2"},
        {"not an agent", "echo hello", true, nullptr},
        {"cut after the greeting", cut(9), false, "the agent's stream"},
        {"cut inside a listing", cut(3000), false, "the agent's stream"},
    };
    Side plain;
    Open(server, tree, "", plain);
    const std::vector<std::string> expected = Rows(*plain.fs, tree.Root());
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Side side;
        Open(server, tree, Script(bin, "agent" + std::to_string(n++), row.body), side);
        bool ok = false;
        const std::vector<std::string> listed = Rows(*side.fs, tree.Root(), &ok);
        EXPECT_EQ(ok, row.listed);
        if (row.listed) {
            EXPECT_EQ(listed, expected);
        }
        const std::vector<std::string> texts = side.prompter.Texts();
        if (row.message == nullptr) {
            EXPECT_TRUE(texts.empty()) << ::testing::PrintToString(texts);
        } else {
            ASSERT_EQ(texts.size(), 1U) << ::testing::PrintToString(texts);
            EXPECT_NE(texts[0].find(row.message), std::string::npos) << texts[0];
        }
    }
}

}  // namespace
}  // namespace ravelmoor
