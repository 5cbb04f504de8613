#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "support/RunProgram.h"
#include "support/TempTree.h"

namespace ravelmoor::test {
namespace {

using Files = std::map<std::string, std::string>;

struct Pair {
    TempTree state;  // journals and memories of this row alone
    TempTree a;
    TempTree b;
    ProgramResult Run(std::vector<std::string> extra) const {
        std::vector<std::string> args = {"sync", "--method", "two-way", "-r", "--yes"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(a.Path());
        args.push_back(b.Path());
        return RunRavelmoor(args, {{"XDG_STATE_HOME", state.Path()}});
    }
};

struct EdgeRow {
    const char* name;
    std::function<void(Pair&)> change;  // after the first sync of ten files and d/x
    std::vector<std::string> options;
    int exit;
    const char* said;  // in the message, or nullptr
    Files source;      // afterwards; empty: as before the run
    Files target;
};

constexpr int64_t kBase = TempTree::kDefaultTime;

// What the memory makes of shifted times, of names taken apart and of a
// file and a folder trading places.
TEST(TwoWayEdges, ShiftedTimesRenamesApartAndKindsSwapped) {
    Files base = {{"d", "/"}, {"d/x", "x"}};
    for (int i = 0; i < 10; ++i)
        base["f" + std::to_string(i)] = "f";
    const auto shift = [](int64_t seconds) {
        return [seconds](Pair& p) {
            for (int i = 0; i < 10; ++i)
                p.a.SetTime("f" + std::to_string(i), kBase + seconds);
        };
    };
    const auto apart = [](Pair& p) {
        std::filesystem::rename(p.a.Full("f0"), p.a.Full("g0"));
        std::filesystem::rename(p.b.Full("f0"), p.b.Full("h0"));
    };
    Files renamedA = base;
    renamedA.erase("f0");
    Files renamedB = renamedA;
    renamedA["g0"] = "f";
    renamedB["h0"] = "f";
    Files bothNames = renamedA;
    bothNames["h0"] = "f";
    Files swapped = base;
    swapped.erase("d/x");
    swapped["d"] = "file";
    swapped.erase("f1");
    swapped["f1"] = "/";
    swapped["f1/y"] = "y";
    const std::vector<EdgeRow> rows = {
        {"an hour's shift is refused", shift(3600), {}, 2, "Add --ignore-dst", {}, {}},
        {"an hour's shift with --ignore-dst is no change",
         shift(3600),
         {"--ignore-dst"},
         0,
         nullptr,
         base,
         base},
        {"two hours' shift with --ignore-dst is still refused",
         shift(7200),
         {"--ignore-dst"},
         2,
         "--first-sync pairs the folders anew",
         {},
         {}},
        {"renamed apart is a conflict left as it is",
         apart,
         {},
         1,
         "1 conflict is left",
         renamedA,
         renamedB},
        {"renamed apart, Source's name kept",
         apart,
         {"--prefer", "source"},
         0,
         nullptr,
         renamedA,
         renamedA},
        {"renamed apart, Target's name kept",
         apart,
         {"--prefer", "target"},
         0,
         nullptr,
         renamedB,
         renamedB},
        {"renamed apart, both names kept",
         apart,
         {"--prefer", "source", "--conflicts", "keep-both"},
         0,
         nullptr,
         bothNames,
         bothNames},
        {"a file replaces a folder and a folder a file, in one run",
         [](Pair& p) {
             std::filesystem::remove_all(p.a.Full("d"));
             p.a.Write("d", "file");
             std::filesystem::remove(p.b.Full("f1"));
             p.b.Write("f1/y", "y");
         },
         {},
         0,
         nullptr,
         swapped,
         swapped},
    };
    for (const EdgeRow& row : rows) {
        SCOPED_TRACE(row.name);
        Pair p;
        for (TempTree* tree : {&p.a, &p.b}) {
            for (int i = 0; i < 10; ++i)
                tree->Write("f" + std::to_string(i), "f");
            tree->Write("d/x", "x");
        }
        ASSERT_EQ(p.Run({}).exitCode, 0);
        row.change(p);
        const Files beforeA = p.a.Contents();
        const Files beforeB = p.b.Contents();
        const ProgramResult run = p.Run(row.options);
        EXPECT_EQ(run.exitCode, row.exit) << run.out << run.err;
        if (row.said != nullptr) {
            EXPECT_NE((run.out + run.err).find(row.said), std::string::npos) << run.out << run.err;
        }
        EXPECT_EQ(p.a.Contents(), row.source.empty() ? beforeA : row.source);
        EXPECT_EQ(p.b.Contents(), row.target.empty() ? beforeB : row.target);
        // Nothing more to do, unless a conflict or a refusal is left.
        std::vector<std::string> preview = row.options;
        preview.push_back("-n");
        const ProgramResult again = p.Run(preview);
        EXPECT_EQ(again.exitCode, row.exit == 0 ? 0 : row.exit) << again.out << again.err;
    }
}

// A dry run lists what will happen below a renamed folder (the run does it
// in a second pass, once the names agree), and the run then does just that.
TEST(TwoWayEdges, ADryRunListsTheEditsBelowARenamedFolder) {
    struct Row {
        const char* name;
        std::function<void(Pair&)> change;  // besides Source's rename of d to e
        const char* line;                   // in the dry run's list
        const char* json;                   // in its "after_renames"
        Files after;                        // both trees, afterwards
    };
    const Files base = {{"e", "/"}, {"e/x", "x"}, {"e/y", "y"}, {"e/s", "/"}, {"e/s/z", "z"}};
    const auto with = [&](std::map<std::string, const char*> changes) {
        Files files = base;
        for (const auto& [path, content] : changes) {
            if (content == nullptr)
                files.erase(path);
            else
                files[path] = content;
        }
        return files;
    };
    const std::vector<Row> rows = {
        {"edited in Target under the old name",
         [](Pair& p) { p.b.Write("d/x", "edited", kBase + 500); }, "<--  copy     e/x",
         R"({"action":"copy","side":"source","path":"e/x"})", with({{"e/x", "edited"}})},
        {"added in Source under the new name",
         [](Pair& p) { p.a.Write("e/s/new", "new", kBase + 500); }, "-->  copy     e/s/new",
         R"({"action":"copy","side":"target","path":"e/s/new"})", with({{"e/s/new", "new"}})},
        {"deleted in Target under the old name",
         [](Pair& p) { std::filesystem::remove(p.b.Full("d/s/z")); }, "x--  delete   e/s/z",
         R"({"action":"delete","side":"source","path":"e/s/z"})", with({{"e/s/z", nullptr}})},
        {"edited on both sides",
         [](Pair& p) {
             p.a.Write("e/y", "source's", kBase + 500);
             p.b.Write("d/y", "target's", kBase + 600);
         },
         "<?>  conflict e/y",
         R"({"action":"conflict","side":"both","path":"e/y"})",
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Pair p;
        for (TempTree* tree : {&p.a, &p.b}) {
            tree->Write("d/x", "x");
            tree->Write("d/y", "y");
            tree->Write("d/s/z", "z");
        }
        ASSERT_EQ(p.Run({}).exitCode, 0);
        std::filesystem::rename(p.a.Full("d"), p.a.Full("e"));
        row.change(p);
        const Files beforeA = p.a.Contents();
        const Files beforeB = p.b.Contents();
        const ProgramResult listed = p.Run({"-n"});
        EXPECT_NE(listed.out.find("d -> e"), std::string::npos) << listed.out;
        EXPECT_NE(listed.out.find(row.line), std::string::npos) << listed.out;
        const ProgramResult json = p.Run({"-n", "--format", "json"});
        EXPECT_NE(json.out.find(row.json), std::string::npos) << json.out;
        EXPECT_EQ(p.a.Contents(), beforeA);  // a dry run changes nothing
        EXPECT_EQ(p.b.Contents(), beforeB);
        const ProgramResult run = p.Run({});
        if (row.after.empty()) {
            EXPECT_EQ(run.exitCode, 1) << run.out << run.err;  // the conflict is left
            continue;
        }
        EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_EQ(p.a.Contents(), row.after);
        EXPECT_EQ(p.b.Contents(), row.after);
    }
}

}  // namespace
}  // namespace ravelmoor::test
