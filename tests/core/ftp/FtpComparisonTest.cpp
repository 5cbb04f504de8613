#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "core/ftp/FtpOpener.h"
#include "support/ComparisonHarness.h"
#include "support/FtpTestServer.h"
#include "support/ResultRows.h"
#include "support/ScopedTimeZone.h"
#include "support/ScriptedPrompter.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using namespace std::chrono_literals;
using test::Rows;

// LIST shows minutes, and the time only for files of the last months.
int64_t RecentWholeMinute() {
    const auto now = static_cast<int64_t>(std::time(nullptr));
    return (now - 10 * 24 * 3600) / 60 * 60;
}

// The tree of the comparison tests, written alike on the server and locally.
void WriteTree(test::TempTree& tree, int64_t time) {
    std::string big(700000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 7919) % 251);
    tree.Write("a.txt", "alpha", time);
    tree.Write("big.bin", big, time);
    tree.Write("zero.txt", "", time);
    tree.MakeFolder("Empty Folder");
    tree.Write("Names With Spaces/Upper CASE.TXT", "capitals", time);
    tree.Write("Sub/b.txt", "beta", time);
    tree.Write("Sub/Deeper/c.txt", "gamma", time);
}

std::vector<std::string> AllMatched() {
    return {"matched matched file 0 a.txt",
            "matched matched file 0 big.bin",
            "matched matched file 0 zero.txt",
            "matched matched folder 0 Empty Folder",
            "matched matched folder 0 Names With Spaces",
            "matched matched file 0 Names With Spaces/Upper CASE.TXT",
            "matched matched folder 0 Sub",
            "matched matched file 0 Sub/b.txt",
            "matched matched folder 0 Sub/Deeper",
            "matched matched file 0 Sub/Deeper/c.txt"};
}

struct ServerMode {
    const char* name;
    std::vector<std::string> flags;
};

void PrintTo(const ServerMode& mode, std::ostream* out) {
    *out << mode.name;
}

class FtpComparisonTest : public ::testing::TestWithParam<ServerMode> {
  protected:
    int Run(bool ftpIsSource, ComparisonMethod method, CompareJob settings = {}) {
        comparer.Reset(settings);
        comparer.SetMethod(method);
        if (ftpIsSource) {
            comparer.Start("(ftp) test/", local.Root(), true, server.Connection("/"), {});
        } else {
            comparer.Start(local.Root(), "(ftp) test/", true, {}, server.Connection("/"));
        }
        comparer.Wait();
        return static_cast<int>(comparer.Phase());
    }

    test::ScopedTimeZone zone;  // LIST times are local clock readings
    const int64_t time = RecentWholeMinute();
    test::TempTree served;
    test::TempTree local;
    test::FtpTestServer server{served.Path(), "tester", "secret", GetParam().flags};
    test::ScriptedPrompter prompter;
    test::ComparisonHarness comparer{prompter};
};

INSTANTIATE_TEST_SUITE_P(Modes, FtpComparisonTest,
                         ::testing::Values(ServerMode{"Mlsd", {}},
                                           ServerMode{"List", {"--list-only"}}),
                         [](const auto& mode) { return std::string(mode.param.name); });

TEST_P(FtpComparisonTest, TreeMatchesItsLocalCopyBySizeTimeAndContent) {
    ASSERT_TRUE(server.Running());
    WriteTree(served, time);
    WriteTree(local, time);
    for (const auto method : {ComparisonMethod::SizeAndTimestamp, ComparisonMethod::Both}) {
        EXPECT_EQ(Run(true, method), 6);
        EXPECT_EQ(Rows(comparer), AllMatched());
        EXPECT_TRUE(comparer.AllIdentical());
    }

    // The run has closed its connection; a synchronisation reads facts anew,
    // by the names as listed.
    ASSERT_TRUE(comparer.Reopen(nullptr));
    FileSystem& ftp = comparer.SourceFileSystem();
    EntryFacts facts;
    ASSERT_TRUE(ftp.ReadFacts("/Sub/b.txt", facts));
    EXPECT_EQ(facts.size, 4u);
    EXPECT_EQ(facts.lastWrite, time);
    ASSERT_TRUE(ftp.ReadFacts("/Names With Spaces", facts));
    EXPECT_EQ(facts.attributes, kFolderAttribute);
    EXPECT_FALSE(ftp.ReadFacts("/sub/b.txt", facts));

    // The same size and time with one byte changed: only reading the content
    // over the connection can tell, and not when the change lies beyond the
    // two pieces that a limit of 20000 bytes reads.
    std::string big = local.Read("big.bin");
    big[10] ^= 1;
    local.Write("big.bin", big, time);
    EXPECT_EQ(Run(true, ComparisonMethod::Both), 6);
    EXPECT_EQ(Rows(comparer)[1], "newer older file 0 big.bin");
    EXPECT_EQ(Run(false, ComparisonMethod::Crc), 6);
    EXPECT_EQ(Rows(comparer)[1], "newer older file 0 big.bin");
    big[10] ^= 1;
    big[60000] ^= 1;
    local.Write("big.bin", big, time);
    CompareJob limited;
    limited.crcChunk = 20000;
    EXPECT_EQ(Run(false, ComparisonMethod::Crc, limited), 6);
    EXPECT_EQ(Rows(comparer), AllMatched());
    EXPECT_TRUE(prompter.Texts().empty());
}

TEST_P(FtpComparisonTest, Listing_EmptyFolderRootFilesAndNameThatCannotBeOne) {
    ASSERT_TRUE(server.Running());
    served.Write("only.txt", "x", time);
    served.Write("Sub/deep.txt", "y", time);
    served.MakeFolder("Nothing Here");
    // A line feed in a name: that one name is left out, with a warning, the
    // rest of its folder is listed, and the local file of that name is
    // excluded: no sync may take its absence on the server as a deletion.
    served.Write("Bad/bad\nname", "z", time);
    served.Write("Bad/keep.txt", "k", time);
    local.Write("Bad/keep.txt", "k", time);
    local.Write("Bad/bad\nname", "z", time);
    struct Case {
        const char* directory;
        bool subFolders;
        std::vector<std::string> rows;
    };
    const std::vector<Case> cases = {
        {"/Nothing Here/",
         true,
         {"missing unmatched folder 0 Bad", "missing unmatched file 0 Bad/bad\nname",
          "missing unmatched file 0 Bad/keep.txt"}},
        {"/", false, {"unmatched missing file 0 only.txt"}},
        {"/",
         true,
         {"unmatched missing file 0 only.txt", "matched matched folder 0 Bad",
          "missing unmatched file 1 Bad/bad\nname", "matched matched file 0 Bad/keep.txt",
          "unmatched missing folder 0 Nothing Here", "unmatched missing folder 0 Sub",
          "unmatched missing file 0 Sub/deep.txt"}},
    };
    for (const Case& c : cases) {
        comparer.Reset({});
        comparer.Start("(ftp) test/", local.Root(), c.subFolders, server.Connection(c.directory),
                       {});
        comparer.Wait();
        EXPECT_EQ(comparer.Phase(), ComparisonPhase::Completed) << c.directory;
        EXPECT_EQ(Rows(comparer), c.rows) << c.directory;
    }
    EXPECT_EQ(comparer.UnlistableSourceFolders(), std::vector<std::string>{"Bad/bad\nname"});
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{"The FTP folder /Bad/ lists a name that cannot be a file "
                                       "name here, left out: \"bad\\nname\""});
}

// A run against a server of the test's own, started with the faults it needs.
class FtpFaultyServer : public ::testing::Test {
  protected:
    FtpFaultyServer() {
        served.Write("a.txt", "same");
        local.Write("a.txt", "same");
    }

    test::TempTree served;
    test::TempTree local;
    test::ScriptedPrompter prompter;
    test::ComparisonHarness comparer{prompter};
};

TEST_F(FtpFaultyServer, LogonFailuresNameServerAndUser) {
    test::FtpTestServer server(served.Path(), "tester", "secret");
    ASSERT_TRUE(server.Running());
    FtpConnection wrongPassword = server.Connection("/");
    wrongPassword.password = "wrong";
    FtpConnection nobodyListening = server.Connection("/");
    nobodyListening.server = "127.0.0.1:1";
    struct Case {
        FtpConnection connection;
        std::string mustHold;
    };
    for (const Case& c : {Case{wrongPassword, "530"}, Case{nobodyListening, "127.0.0.1"}}) {
        const size_t before = prompter.Texts().size();
        comparer.Reset({});
        comparer.Start("(ftp) x/", local.Root(), true, c.connection, {});
        comparer.Wait();
        EXPECT_EQ(comparer.Phase(), ComparisonPhase::EndedWithoutResult);
        const auto texts = prompter.Texts();
        ASSERT_EQ(texts.size(), before + 1);
        const std::string tail = " Server:" + c.connection.server + " User:tester";
        ASSERT_GT(texts.back().size(), tail.size());
        EXPECT_EQ(texts.back().substr(texts.back().size() - tail.size()), tail) << texts.back();
        EXPECT_NE(texts.back().find(c.mustHold), std::string::npos) << texts.back();
    }
}

TEST_F(FtpFaultyServer, ServerThatStopsMidListingEndsWithoutResult) {
    for (int i = 0; i < 40; ++i)
        served.Write("file-" + std::to_string(i) + ".txt", "x");
    test::FtpTestServer server(served.Path(), "", "", {"--break-listing"});
    ASSERT_TRUE(server.Running());
    comparer.Start(local.Root(), "(ftp) x/", true, {}, server.Connection("/"));
    comparer.Wait();
    EXPECT_EQ(comparer.Phase(), ComparisonPhase::EndedWithoutResult);
    EXPECT_EQ(prompter.Texts(),
              (std::vector<std::string>{"Error on FTP connection",
                                        "Error: cannot read target file information"}));
}

// A server whose listing names step out of the folder, or would end an FTP
// command early: each such name is left out, one warning names them all, and
// the rest of the folder is listed. (libcurl hands the listing over with CR
// turned into LF.)
TEST_F(FtpFaultyServer, CraftedListingNamesAreLeftOutWithOneWarning) {
    const std::string facts = "type=file;size=4;modify=20200101000000; ";
    std::string listing;
    for (const std::string& name :
         std::vector<std::string>{"good.txt", "..", "../x", "a/b", "/abs", "cr\rname", "lf\nname",
                                  std::string("nul\0name", 8), "", "also good"}) {
        listing += facts + name + "\r\n";
    }
    served.Write("listing", listing);
    test::FtpTestServer server(served.Path(), "", "", {"--listing", served.Full("listing")});
    ASSERT_TRUE(server.Running());
    comparer.Start("(ftp) x/", local.Root(), true, server.Connection("/"), {});
    comparer.Wait();
    EXPECT_EQ(comparer.Phase(), ComparisonPhase::Completed);
    EXPECT_EQ(Rows(comparer), (std::vector<std::string>{"missing unmatched file 0 a.txt",
                                                        "unmatched missing file 0 also good",
                                                        "unmatched missing file 0 good.txt"}));
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{
                  "The FTP folder / lists names that cannot be a file name here, left out: "
                  "\"..\" \"../x\" \"a/b\" \"/abs\" \"cr\\nname\" \"lf\\nname\" "
                  "\"nul\\x00name\" \"\""});
}

// A CR LF in a stored field never reaches the server as a second command:
// nothing is sent at all, and the run says why.
TEST_F(FtpFaultyServer, LineBreakInAFieldSendsNothing) {
    served.Write("victim.txt", "keep me");
    const std::string log = served.Full("commands.log");
    test::FtpTestServer server(served.Path(), "tester", "secret", {"--log", log});
    ASSERT_TRUE(server.Running());
    FtpConnection password = server.Connection("/");
    password.password = "x\r\nDELE /victim.txt";
    FtpConnection user = server.Connection("/");
    user.user = "tester\r\nDELE /victim.txt";
    FtpConnection directory = server.Connection("/\r\nDELE /victim.txt/");
    for (const FtpConnection& connection : {password, user, directory}) {
        comparer.Reset({});
        comparer.Start("(ftp) x/", local.Root(), true, connection, {});
        comparer.Wait();
        EXPECT_NE(comparer.Phase(), ComparisonPhase::Completed);
    }
    EXPECT_EQ(served.Read("victim.txt"), "keep me");
    const std::string sent = served.Read("commands.log");
    EXPECT_EQ(sent.find("DELE"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("PASS x"), std::string::npos) << sent;
    ASSERT_EQ(prompter.Texts().size(), 4u) << ::testing::PrintToString(prompter.Texts());
    EXPECT_NE(prompter.Texts()[0].find("holds a line break or NUL"), std::string::npos)
        << prompter.Texts()[0];
}

// A server that stops answering at the greeting, in the middle of a listing,
// or in the middle of a file that is read for its checksum: a cancel ends the
// run without a message.
class FtpHangingServer : public FtpFaultyServer,
                         public ::testing::WithParamInterface<const char*> {};

INSTANTIATE_TEST_SUITE_P(Where, FtpHangingServer,
                         ::testing::Values("--hang-greeting", "--hang-listing", "--hang-download"),
                         [](const auto& where) {
                             std::string name = where.param + 7;  // after "--hang-"
                             name[0] = static_cast<char>(name[0] - 'a' + 'A');
                             return name;
                         });

TEST_P(FtpHangingServer, CancelEndsTheRun) {
    test::FtpTestServer server(served.Path(), "", "", {GetParam()});
    ASSERT_TRUE(server.Running());
    comparer.SetMethod(ComparisonMethod::Crc);
    comparer.Start("(ftp) x/", local.Root(), true, server.Connection("/"), {});

    const bool hangsInRead = std::string(GetParam()) == "--hang-download";
    for (int i = 0; i < 300 && hangsInRead && comparer.Phase() != ComparisonPhase::Comparing; ++i)
        std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(300ms);  // let the call block
    EXPECT_FALSE(comparer.WaitFor(0ms)) << "the run should still be waiting for the server";
    // Like the progress display: cancel, then keep breaking the connection
    // until the run has ended, racing the worker's own close.
    comparer.Cancel();
    std::atomic<bool> ended{false};
    std::thread display([&] {
        while (!ended.load()) {
            comparer.InterruptSides();
            std::this_thread::sleep_for(1ms);
        }
    });
    EXPECT_TRUE(comparer.WaitFor(30s));
    ended.store(true);
    display.join();
    EXPECT_EQ(comparer.Phase(), ComparisonPhase::EndedWithoutResult);
    EXPECT_TRUE(prompter.Texts().empty());
}

}  // namespace
// A server that stops sending in the middle of the listing: the run ends
// with a message that says it timed out, after how long, and on what.
TEST_F(FtpFaultyServer, StalledListingEndsSayingItTimedOut) {
    test::FtpTestServer server(served.Path(), "", "", {"--hang-listing"});
    ASSERT_TRUE(server.Running());
    FtpConnection connection = server.Connection("/");
    connection.timeoutSeconds = 2;
    comparer.Start("(ftp) x/", local.Root(), true, connection, {});
    ASSERT_TRUE(comparer.WaitFor(60s));
    EXPECT_EQ(comparer.Phase(), ComparisonPhase::EndedWithoutResult);
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{
                                    "Error on FTP connection\nThe server " + connection.server +
                                        " timed out: nothing came for 2 seconds while reading /.",
                                    "Error: cannot read source file information"}));
}

}  // namespace ravelmoor
