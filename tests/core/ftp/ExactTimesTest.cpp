#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "support/FtpTestServer.h"
#include "support/RunProgram.h"
#include "support/ServerSyncTrees.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;

size_t Count(const std::string& text, const std::string& words) {
    size_t count = 0;
    for (size_t at = text.find(words); at != std::string::npos; at = text.find(words, at + 1))
        ++count;
    return count;
}

// The tests' FTP server with `flags` serving `served`, stored as a
// connection the way a user stores one, with a state folder of its own.
struct StoredServer {
    explicit StoredServer(const std::vector<std::string>& flags)
        : server(served.Path(), "", "", flags) {
        environment = home.Environment();
        environment["XDG_STATE_HOME"] = state.Path();
        // Locks of its own: tests run side by side.
        environment["XDG_RUNTIME_DIR"] = state.Path();
        added = RunRavelmoor({"ftp", "add", "--server", server.Server(), "--dir", "/"}, environment)
                    .exitCode == 0;
    }
    std::string Side() const { return "(ftp) " + server.Server() + "/"; }

    test::TempTree served;
    test::TempTree state;
    test::FtpTestServer server;
    test::TempConfigHome home;
    std::map<std::string, std::string> environment;
    bool added = false;
};

// Three days back, on a whole minute.
int64_t AMinute() {
    return (static_cast<int64_t>(std::time(nullptr)) - 3 * 86400) / 60 * 60;
}

struct MdtmCase {
    const char* name;
    const char* answer;  // the test server's --mdtm, "" for the right answers
    bool exactSeen;      // the local files are found newer by their exact seconds
    int files = 2;       // from 8 on, MDTM goes out ahead of its answers
};

class MdtmAnswers : public ::testing::TestWithParam<MdtmCase> {};

INSTANTIATE_TEST_SUITE_P(Servers, MdtmAnswers,
                         ::testing::Values(MdtmCase{"Right", "", true},
                                           MdtmCase{"RightForMany", "", true, 20},
                                           MdtmCase{"Garbage", "garbage", false},
                                           MdtmCase{"GarbageForMany", "garbage", false, 20},
                                           MdtmCase{"InTheFuture", "future", false},
                                           MdtmCase{"Refused", "refused", false},
                                           MdtmCase{"RefusedForMany", "refused", false, 20}),
                         [](const auto& c) { return std::string(c.param.name); });

// A server that lists with LIST gives a minute: files of the same size whose
// times fall in the same minute ask MDTM for their seconds. A wrong answer
// (not a time, a time far ahead, a refusal) leaves the listing's minute:
// one warning for the run, nothing called newer, nothing copied on a guess.
TEST_P(MdtmAnswers, DecideOnlyByTheExactSecond) {
    const MdtmCase& c = GetParam();
    std::vector<std::string> flags = {"--list-only"};
    if (c.answer[0] != '\0') flags.insert(flags.end(), {"--mdtm", c.answer});
    StoredServer stored(flags);
    ASSERT_TRUE(stored.server.Running() && stored.added);
    test::TempTree& served = stored.served;
    test::TempTree local;
    const auto& environment = stored.environment;
    const std::string side = stored.Side();

    // 5 s into a minute on the server and 20 s into it here.
    const int64_t minute = AMinute();
    for (int i = 0; i < c.files; ++i) {
        const std::string name = (i % 2 == 0 ? "" : "sub/") + std::to_string(i) + ".txt";
        served.Write(name, "same size", minute + 5);
        local.Write(name, "SAME SIZE", minute + 20);
    }
    const test::ServerTreeState before = test::ServerSnapshot(served);

    const auto compared = RunRavelmoor({"compare", "-r", "-v", local.Path(), side}, environment);
    EXPECT_EQ(compared.exitCode, c.exactSeen ? 1 : 0) << compared.out << compared.err;
    EXPECT_EQ(Count(compared.out, "newer      older"), c.exactSeen ? size_t(c.files) : 0U)
        << compared.out;
    EXPECT_EQ(Count(compared.err, "is not a time that fits its listing"), c.exactSeen ? 0U : 1U)
        << compared.err;
    // "Refused" is asked once: a server that does not know MDTM is asked no more.
    const std::string asked = std::string(c.answer) == "refused" ? "1" : std::to_string(c.files);
    EXPECT_NE(compared.err.find("Exact times asked of the FTP server (its listing gave only the "
                                "minute or the day): " +
                                asked + "."),
              std::string::npos)
        << compared.err;

    if (!c.exactSeen) {
        const auto synced = RunRavelmoor(
            {"sync", "-r", "--method", "update", "--yes", local.Path(), side}, environment);
        EXPECT_EQ(synced.exitCode, 0) << synced.out << synced.err;
        EXPECT_EQ(test::ServerSnapshot(served), before);
    }
}

// A connection that may not write cannot find the server's clock: ftp list
// -v says the clock is unknown, and the comparison reads LIST times as local
// time at the listing's precision, asking MDTM where a decision rests on it.
TEST(ReadOnlyFtpServer, SaysTheClockIsUnknownAndStillCompares) {
    StoredServer stored({"--list-only", "--read-only"});
    ASSERT_TRUE(stored.server.Running() && stored.added);
    test::TempTree& served = stored.served;
    test::TempTree local;
    const auto& environment = stored.environment;
    const int64_t minute = AMinute();
    served.Write("same.txt", "same", minute + 5);
    local.Write("same.txt", "same", minute + 5);
    served.Write("later.txt", "same", minute + 5);
    local.Write("later.txt", "SAME", minute + 30);
    const auto compared = RunRavelmoor({"compare", "-r", local.Path(), stored.Side()}, environment);
    EXPECT_EQ(compared.exitCode, 1) << compared.out << compared.err;
    EXPECT_NE(compared.out.find("newer      older      later.txt"), std::string::npos)
        << compared.out;
    EXPECT_EQ(compared.out.find("same.txt"), std::string::npos) << compared.out;
    const auto listed = RunRavelmoor({"ftp", "list", "-v"}, environment);
    EXPECT_NE(listed.out.find("  clock: unknown (no probe file could be written)"),
              std::string::npos)
        << listed.out;
}

}  // namespace
}  // namespace ravelmoor
