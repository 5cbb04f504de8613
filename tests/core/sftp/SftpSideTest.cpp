#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <random>
#include <thread>
#include <tuple>

#include "core/engine/FileEntry.h"
#include "core/local/LocalFileSystem.h"
#include "core/sftp/SftpFileSystem.h"
#include "core/sftp/SftpOpener.h"
#include "support/ScriptedPrompter.h"
#include "support/SshTestServer.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using Facts = std::tuple<uint32_t, uint64_t, int64_t>;
using Listing = std::map<std::string, Facts>;

class Collect : public ListSink {
  public:
    explicit Collect(std::function<void()> onFirst = {}) : onFirst_(std::move(onFirst)) {}
    bool OnEntry(const DirEntryFacts& facts) override {
        if (onFirst_) std::exchange(onFirst_, {})();
        entries.emplace_back(std::string(facts.name),
                             Facts{facts.attributes, facts.size, facts.lastWrite});
        return true;
    }
    std::vector<std::pair<std::string, Facts>> entries;

  private:
    std::function<void()> onFirst_;
};

// Every entry below `folder`, by its path below it.
void ListTree(FileSystem& side, const std::string& folder, const std::string& below, Listing& out) {
    Collect sink;
    ASSERT_TRUE(side.ListFolder(folder + below, sink).Ok()) << below;
    for (const auto& [name, facts] : sink.entries) {
        out[below + name] = facts;
        if ((std::get<0>(facts) & kFolderAttribute) != 0) {
            ListTree(side, folder, below + name + "/", out);
        }
    }
}

std::string ReadAll(FileSystem& side, const std::string& path, uint32_t attributes) {
    std::unique_ptr<FileReader> reader = side.OpenForReading(path, attributes);
    if (!reader) return "(not opened)";
    std::string text;
    char piece[7000];  // not a divisor of the reader's pieces
    for (int64_t got = 0; (got = reader->Read(piece, sizeof piece)) != 0;) {
        if (got < 0) return "(failed)";
        text.append(piece, static_cast<size_t>(got));
    }
    return text;
}

std::string RandomBytes(size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

std::unique_ptr<SftpFileSystem> Open(const SftpConnection& connection,
                                     test::ScriptedPrompter& prompter,
                                     UnknownHostKey unknown = UnknownHostKey::Accept) {
    // Told as the comparison tells it.
    OpenResult<SftpFileSystem> opened = OpenSftpSide(connection, prompter, nullptr, unknown);
    if (opened.status == OpenStatus::Failed) prompter.Warn(opened.reason);
    return std::move(opened.value);
}

bool SaysIt(const test::ScriptedPrompter& prompter, const std::string& words) {
    for (const std::string& text : prompter.Texts()) {
        if (text.find(words) != std::string::npos) return true;
    }
    return false;
}

// The statuses of each write call, for both kinds of server, are in
// ServerWriteSideTest; here what only SFTP keeps: the mode and a link's text.
TEST(SftpSide, UploadIsByteExactWithTimeAndModeAndLeavesNoTemporaryFile) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    test::TempTree from;
    test::TempTree to;
    from.Write("big.bin", RandomBytes(1 << 20), 1234567890);
    from.Chmod("big.bin", 0640);
    from.Write("small.txt", "new", 1300000000);
    from.Symlink("ln", "small.txt");

    test::ScriptedPrompter prompter;
    auto side = Open(server.Connection(to.Root()), prompter);
    ASSERT_TRUE(side);
    LocalFileSystem local;
    for (const char* name : {"big.bin", "ln"}) {
        EXPECT_EQ(
            side->CopyIn(local, from.Full(name), to.Root(), std::string("made/") + name, {}).status,
            WriteStatus::Done);
    }
    EXPECT_EQ(to.Read("made/big.bin"), from.Read("big.bin"));
    EXPECT_EQ(ReadAll(*side, "made/big.bin", 0), from.Read("big.bin"));
    struct stat st {};
    ASSERT_EQ(::stat(to.Full("made/big.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(ReadAll(*side, "made/ln", kSymlinkAttribute), "small.txt");
    Listing left;
    ListTree(*side, to.Root(), "", left);
    EXPECT_EQ(left.size(), 3u) << ::testing::PrintToString(left);  // made, its two entries
    EXPECT_TRUE(prompter.Texts().empty()) << ::testing::PrintToString(prompter.Texts());
}

TEST(SftpSide, LogonAndFolderProblemsAreNamed) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    test::TempTree tree;
    SftpConnection stranger = server.Connection(tree.Root());
    stranger.keyFile = server.StrangerKey();
    SftpConnection missing = server.Connection(tree.Root() + "no such folder/");
    SftpConnection closed = server.Connection(tree.Root());
    closed.port = server.Port() == 65535 ? 1 : server.Port() + 1;  // nothing listens there
    struct Case {
        SftpConnection connection;
        std::vector<std::string> says;
    };
    const std::vector<Case> cases = {
        {stranger,
         {"127.0.0.1:" + std::to_string(server.Port()) + " refused the logon of " + stranger.user +
          ": "}},
        {missing,
         {"The folder " + tree.Root() +
          "no such folder/ does not exist on 127.0.0.1:" + std::to_string(server.Port()) + "."}},
        {closed, {"Cannot connect to 127.0.0.1:", "Connection refused"}},
    };
    for (const Case& c : cases) {
        test::ScriptedPrompter prompter;
        EXPECT_EQ(Open(c.connection, prompter), nullptr);
        ASSERT_EQ(prompter.Log().size(), 1u) << c.says[0];
        EXPECT_EQ(prompter.Log()[0].kind, "warn");
        for (const std::string& words : c.says)
            EXPECT_TRUE(SaysIt(prompter, words)) << words << " in " << prompter.Log()[0].text;
    }
}

// A server that dies or stalls under a listing ends it with a message that
// names the folder; nothing waits for ever.
TEST(SftpSide, ServerKilledOrStalledMidListingEndsWithAClearError) {
    for (const bool killed : {true, false}) {
        test::SshTestServer server;
        ASSERT_TRUE(server.Running());
        test::TempTree tree;
        for (int i = 0; i < 400; ++i)
            tree.Write("many/file" + std::to_string(i), "x");
        SftpConnection connection = server.Connection(tree.Root());
        connection.timeoutSeconds = 1;
        test::ScriptedPrompter prompter;
        auto side = Open(connection, prompter);
        ASSERT_TRUE(side);
        Collect sink([&] { killed ? server.Kill() : server.Freeze(true); });
        const ListOutcome listed = side->ListFolder(tree.Root() + "many/", sink);
        EXPECT_EQ(listed.status, ListStatus::Failed);
        EXPECT_LT(sink.entries.size(), 400u);
        ASSERT_EQ(prompter.Log().size(), 1u);
        const std::string text = prompter.Log()[0].text;
        // What the side says is what its outcome carries.
        EXPECT_EQ(listed.reason, text);
        EXPECT_NE(text.find("Error on SFTP connection"), std::string::npos) << text;
        EXPECT_NE(text.find("listing the folder " + tree.Root() + "many/"), std::string::npos)
            << text;
        EXPECT_NE(text.find(killed ? "connection was lost" : "did not answer for 1 seconds"),
                  std::string::npos)
            << text;
        // Later calls fail at once and say nothing more.
        EntryFacts facts;
        EXPECT_FALSE(side->ReadFacts(tree.Root() + "many/file1", facts));
        EXPECT_EQ(prompter.Log().size(), 1u);
    }
}

}  // namespace
}  // namespace ravelmoor
