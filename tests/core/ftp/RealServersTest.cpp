#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "support/RealFtpServer.h"
#include "support/RunProgram.h"
#include "support/ServerSyncTrees.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::FtpServerKind;
using test::RunRavelmoor;
using TreeState = test::ServerTreeState;

// 2020-01-02 03:04:05 UTC: older than six months, so LIST shows only its day.
constexpr int64_t kOld = 1577934245;

int64_t Recent(int64_t secondsAgo) {
    return static_cast<int64_t>(std::time(nullptr)) - secondsAgo;
}

// Every object below `folder` of `tree`, as ServerSnapshot says them.
TreeState Below(const test::TempTree& tree, const std::string& folder) {
    TreeState below;
    for (const auto& [path, state] : test::ServerSnapshot(tree)) {
        if (path.size() > folder.size() && path.compare(0, folder.size() + 1, folder + "/") == 0)
            below[path.substr(folder.size() + 1)] = state;
    }
    return below;
}

// A tree of a few files, old and new, with spaces and letters beyond ASCII
// in their names and one that starts with a dot, written below `folder` of
// `tree`.
void WriteTree(test::TempTree& tree, const std::string& folder, int64_t shift = 0) {
    tree.Write(folder + "/old.txt", "written long ago", kOld + shift);
    tree.Write(folder + "/new.txt", "written today", Recent(3 * 3600) + shift);
    tree.Write(folder + "/with space/Ünïcödé name.txt", "ü", Recent(2 * 86400) + shift);
    tree.Write(folder + "/deep/er/still.txt", "still", kOld + 7 + shift);
    // LIST shows no name that starts with a dot unless asked with "-a".
    tree.Write(folder + "/.htaccess", "hidden", Recent(5 * 86400) + shift);
}

// One row: what happens between a local folder and the server's "/pub/".
enum class Flow {
    IdenticalCompare,  // the same tree on both sides, written by hand: compare says identical
    SyncUp,            // the local tree is Source, the server Target
    SyncDown,          // the server is Source
};

struct RowCase {
    const char* name;
    Flow flow;
    const char* method = "update";
    const char* clientZone = "";  // TZ of the program; "" for the test's own
    const char* serverZone = "";  // TZ of the server; "" for UTC
    bool keepsNoTimes = false;
    bool bigFile = false;
    bool emptyTarget = false;  // a first sync into an empty folder, as a new user's
};

struct Row {
    FtpServerKind kind;
    RowCase what;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << test::NameOf(row.kind) << " " << row.what.name;
}

const RowCase kCases[] = {
    {"FirstUpdateThenCompare", Flow::SyncUp, "update", "", "", false, false, true},
    {"IdenticalTree", Flow::IdenticalCompare},
    {"IdenticalTreeServerInTokyo", Flow::IdenticalCompare, "", "", "JST-9"},
    {"IdenticalTreeClientInNewYork", Flow::IdenticalCompare, "", "America/New_York"},
    {"UpAlign", Flow::SyncUp, "align"},
    {"UpAugment", Flow::SyncUp, "augment"},
    {"UpRefresh", Flow::SyncUp, "refresh"},
    {"UpUpdate", Flow::SyncUp, "update"},
    {"UpUpdatePrune", Flow::SyncUp, "update-prune"},
    {"UpForce", Flow::SyncUp, "force"},
    {"DownAlign", Flow::SyncDown, "align"},
    {"DownUpdate", Flow::SyncDown, "update"},
    {"DownForce", Flow::SyncDown, "force"},
    {"UpServerInTokyo", Flow::SyncUp, "update", "", "JST-9"},
    {"UpClientInNewYorkServerInTokyo", Flow::SyncUp, "force", "America/New_York", "JST-9"},
    {"DownClientInNewYork", Flow::SyncDown, "force", "America/New_York"},
    {"UpServerKeepsNoTimes", Flow::SyncUp, "force", "", "", true},
    {"UpFiftyMegabytes", Flow::SyncUp, "update", "", "", false, true},
};

std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (const FtpServerKind kind :
         {FtpServerKind::Vsftpd, FtpServerKind::PureFtpd, FtpServerKind::Proftpd}) {
        for (const RowCase& what : kCases) {
            // pure-ftpd cannot be told to refuse MFMT.
            if (what.keepsNoTimes && kind == FtpServerKind::PureFtpd) continue;
            rows.push_back({kind, what});
        }
    }
    return rows;
}

class RealFtpServers : public ::testing::TestWithParam<Row> {};

INSTANTIATE_TEST_SUITE_P(Table, RealFtpServers, ::testing::ValuesIn(Rows()), [](const auto& c) {
    std::string name = test::NameOf(c.param.kind);
    for (char& letter : name) {
        if (letter == '-') letter = '_';
    }
    return name + "_" + c.param.what.name;
});

// A sync to and from the server converges: afterwards the same method
// proposes nothing, and a method that makes the sides alike leaves them
// identical, times and all, whatever zones the server and the program keep.
TEST_P(RealFtpServers, SyncConvergesAndTheNextComparisonProposesNothing) {
    const Row& row = GetParam();
    const RowCase& c = row.what;
    test::RealFtpServer server(row.kind, {c.serverZone, c.keepsNoTimes});
    if (!server.Missing().empty()) GTEST_SKIP() << server.Missing();

    test::TempConfigHome home;
    test::TempTree local;
    test::TempTree state;
    std::map<std::string, std::string> environment = home.Environment();
    environment["XDG_STATE_HOME"] = state.Full("state");
    // Locks of its own: tests run side by side.
    environment["XDG_RUNTIME_DIR"] = state.Path();
    environment["XDG_DATA_HOME"] = state.Full("data");
    if (c.clientZone[0] != '\0') environment["TZ"] = c.clientZone;
    std::vector<std::string> add = {"ftp", "add", "--server", server.Server(), "--dir", "/pub/"};
    if (!server.User().empty())
        add.insert(add.end(), {"--user", server.User(), "--password-stdin"});
    const auto added = RunRavelmoor(add, environment, server.Password() + "\n");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const std::string side = "(ftp) " + server.Server() + "/pub/";
    const std::string folder = local.Full("pub");
    local.MakeFolder("pub");

    test::TempTree& sourceTree = c.flow == Flow::SyncDown ? server.Files() : local;
    test::TempTree& targetTree = c.flow == Flow::SyncDown ? local : server.Files();
    auto run = [&](std::vector<std::string> args) {
        args.push_back(c.flow == Flow::SyncDown ? side : folder);
        args.push_back(c.flow == Flow::SyncDown ? folder : side);
        return RunRavelmoor(args, environment);
    };
    if (c.flow == Flow::IdenticalCompare) {
        WriteTree(local, "pub");
        WriteTree(server.Files(), "pub");
    } else if (c.emptyTarget) {
        WriteTree(sourceTree, "pub");
    } else {
        WriteTree(sourceTree, "pub");
        // Something to replace, something older to keep, something to prune.
        targetTree.Write("pub/old.txt", "replaced", kOld - 86400);
        targetTree.Write("pub/new.txt", "newer on the Target", Recent(60));
        targetTree.Write("pub/gone/only here.txt", "only on the Target", kOld);
        if (c.bigFile) sourceTree.Write("pub/big.bin", std::string(50 << 20, 'b'), kOld);
    }
    server.GiveToServer();

    if (c.flow != Flow::IdenticalCompare) {
        const auto synced =
            run({"sync", "-r", "--method", c.method, "--yes", "--delete-permanently"});
        ASSERT_EQ(synced.exitCode, 0) << synced.out << synced.err;
        const auto again = run({"sync", "-r", "--method", c.method, "--preview"});
        EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
    }
    const std::string method = c.method;
    if (c.flow == Flow::IdenticalCompare || c.emptyTarget || method == "force" ||
        method == "align") {
        const auto compared = run({"compare", "-r"});
        EXPECT_EQ(compared.exitCode, 0) << compared.out << compared.err;
        if (method == "force") {
            TreeState expected = Below(sourceTree, "pub");
            TreeState got = Below(targetTree, "pub");
            if (c.keepsNoTimes) {
                for (auto* tree : {&expected, &got}) {
                    for (auto& [path, facts] : *tree)
                        facts = facts.substr(0, facts.rfind(" @"));
                }
            }
            EXPECT_EQ(got, expected);
        }
    }
}

}  // namespace
}  // namespace ravelmoor
