#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <thread>
#include <tuple>

#include "core/engine/FileEntry.h"
#include "core/engine/LocalFileSystem.h"
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
    ASSERT_EQ(side.ListFolder(folder + below, sink), ListStatus::Listed) << below;
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

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
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
    return OpenSftpSide(connection, prompter, nullptr, unknown);
}

bool SaysIt(const test::ScriptedPrompter& prompter, const std::string& words) {
    for (const std::string& text : prompter.Texts()) {
        if (text.find(words) != std::string::npos) return true;
    }
    return false;
}

TEST(SftpSide, ListingMatchesTheLocalListingOfTheSameFolder) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    test::TempTree tree;
    tree.Write("a.txt", "alpha");
    tree.Write("caf\xe9.txt", "latin-1 name", 1500000000);
    tree.Write("Sub/b.bin", RandomBytes(300000), 1400000000);
    tree.MakeFolder("Sub/empty");
    tree.Symlink("link", "a.txt");
    tree.Symlink("Sub/dangling", "../nowhere");
    tree.Fifo("pipe");

    test::ScriptedPrompter prompter;
    auto side = Open(server.Connection(tree.Root()), prompter);
    ASSERT_TRUE(side) << ::testing::PrintToString(prompter.Texts());
    Listing remote;
    Listing local;
    LocalFileSystem localSide;
    ListTree(*side, tree.Root(), "", remote);
    ListTree(localSide, tree.Root(), "", local);
    // A local listing leaves a folder's size and time out; so does this one.
    EXPECT_EQ(remote, local);
    EXPECT_TRUE(remote.contains("caf\xe9.txt"));
    EXPECT_EQ(std::get<0>(remote["link"]), kSymlinkAttribute);
    EXPECT_FALSE(remote.contains("pipe"));

    // Content for the checksums: a file read with requests in flight, a link's text.
    EXPECT_EQ(ReadAll(*side, tree.Root() + "Sub/b.bin", 0), tree.Read("Sub/b.bin"));
    EXPECT_EQ(ReadAll(*side, tree.Root() + "link", kSymlinkAttribute), "a.txt");
    // Relative paths are below the connection's folder.
    EXPECT_EQ(ReadAll(*side, "caf\xe9.txt", 0), "latin-1 name");
    EXPECT_TRUE(prompter.Texts().empty()) << ::testing::PrintToString(prompter.Texts());
}

TEST(SftpSide, UploadIsByteExactWithTimeAndModeAndLeavesNoTemporaryFile) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    test::TempTree from;
    test::TempTree to;
    from.Write("big.bin", RandomBytes(1 << 20), 1234567890);
    from.Chmod("big.bin", 0640);
    from.Write("small.txt", "new", 1300000000);
    from.Symlink("ln", "small.txt");
    to.Write("deep/small.txt", "old content", 1000000000);

    test::ScriptedPrompter prompter;
    auto side = Open(server.Connection(to.Root()), prompter);
    ASSERT_TRUE(side);
    LocalFileSystem local;
    CopyControl replace;
    replace.replaceExisting = true;
    struct Case {
        std::string from;
        std::string to;
        CopyControl control;
        WriteStatus status;
        std::string content;
    };
    const std::vector<Case> cases = {
        {"big.bin", "made/on/the/way/big.bin", {}, WriteStatus::Done, from.Read("big.bin")},
        {"small.txt", "deep/small.txt", {}, WriteStatus::Exists, "old content"},
        {"small.txt", "deep/small.txt", replace, WriteStatus::Done, "new"},
    };
    for (const Case& c : cases) {
        const WriteOutcome outcome =
            side->CopyIn(local, from.Full(c.from), to.Root(), c.to, c.control);
        EXPECT_EQ(outcome.status, c.status) << c.to << ": " << outcome.reason;
        EXPECT_EQ(to.Read(c.to), c.content) << c.to;
        EXPECT_EQ(ReadAll(*side, c.to, 0), c.content) << c.to;
    }
    struct stat st {};
    ASSERT_EQ(::stat(to.Full("made/on/the/way/big.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(to.Time("deep/small.txt"), 1300000000);

    EXPECT_EQ(side->CopyIn(local, from.Full("ln"), to.Root(), "ln", {}).status, WriteStatus::Done);
    EXPECT_EQ(ReadAll(*side, "ln", kSymlinkAttribute), "small.txt");

    // Deletions are for good: the side says it has no trash.
    EXPECT_FALSE(side->HasTrash());
    EXPECT_EQ(side->MoveToTrash(to.Root(), "ln").status, WriteStatus::NoTrash);
    EXPECT_EQ(side->DeletePermanently(to.Root(), "ln").status, WriteStatus::Done);
    EXPECT_EQ(side->RemoveFolder(to.Root(), "made/on").status, WriteStatus::NotEmpty);
    EXPECT_EQ(side->DeletePermanently(to.Root(), "made/on/the/way/big.bin").status,
              WriteStatus::Done);
    EXPECT_EQ(side->RemoveFolder(to.Root(), "made/on/the/way").status, WriteStatus::Done);
    EXPECT_EQ(side->MakeFolder(to.Root(), "made/on").status, WriteStatus::Exists);
    Listing left;
    ListTree(*side, to.Root(), "", left);
    EXPECT_EQ(left.size(), 5u) << ::testing::PrintToString(
        left);  // deep, deep/small.txt, made, made/on, made/on/the
    EXPECT_TRUE(prompter.Texts().empty()) << ::testing::PrintToString(prompter.Texts());
}

TEST(SftpSide, HostKeyIsCheckedAgainstKnownHosts) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    test::TempTree tree;
    const SftpConnection connection = server.Connection(tree.Root());
    struct Step {
        const char* what;
        UnknownHostKey unknown;
        bool answer;
        bool opens;
        const char* says;  // in the message; "" for none
    };
    const std::vector<Step> steps = {
        {"unknown, refused", UnknownHostKey::Refuse, false, false, "is not known"},
        {"unknown, asked, No", UnknownHostKey::Ask, false, false, ""},
        {"unknown, asked, Yes", UnknownHostKey::Ask, true, true, ""},
        {"now known", UnknownHostKey::Refuse, false, true, ""},
    };
    for (const Step& step : steps) {
        test::ScriptedPrompter prompter;
        prompter.SetDefaultAnswer(step.answer);
        const bool opened = Open(connection, prompter, step.unknown) != nullptr;
        EXPECT_EQ(opened, step.opens) << step.what;
        const auto log = prompter.Log();
        if (step.unknown == UnknownHostKey::Ask) {
            ASSERT_EQ(log.size(), 1u) << step.what;
            EXPECT_NE(log[0].text.find("SHA256:"), std::string::npos) << log[0].text;
        } else if (step.says[0] != '\0') {
            EXPECT_TRUE(SaysIt(prompter, step.says)) << step.what;
            EXPECT_TRUE(SaysIt(prompter, "SHA256:")) << step.what;
        } else {
            EXPECT_TRUE(log.empty()) << step.what << ": " << log[0].text;
        }
    }
    const std::string known = FileText(server.KnownHosts());

    server.ChangeHostKey();
    for (const UnknownHostKey unknown : {UnknownHostKey::Accept, UnknownHostKey::Ask}) {
        test::ScriptedPrompter prompter;
        prompter.SetDefaultAnswer(true);
        EXPECT_EQ(Open(connection, prompter, unknown), nullptr);
        EXPECT_TRUE(SaysIt(prompter, "has changed")) << ::testing::PrintToString(prompter.Texts());
        EXPECT_EQ(prompter.Log().size(), 1u);  // never asked
    }
    EXPECT_EQ(FileText(server.KnownHosts()), known);
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
        {stranger, {"Logon refused", "Server:127.0.0.1:", " User:" + stranger.user}},
        {missing, {"The folder " + tree.Root() + "no such folder/ does not exist"}},
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
        EXPECT_EQ(side->ListFolder(tree.Root() + "many/", sink), ListStatus::Failed);
        EXPECT_LT(sink.entries.size(), 400u);
        ASSERT_EQ(prompter.Log().size(), 1u);
        const std::string text = prompter.Log()[0].text;
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
