#include "core/launch/StartComparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/engine/Comparison.h"
#include "core/local/LocalFileSystem.h"
#include "support/ResultRows.h"
#include "support/ScriptedPrompter.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

// Every field of a job must reach the pairing: each row sets one field on top
// of `base` and holds a pair that the engine judges otherwise without it.
TEST(StartComparison, EachJobFieldReachesThePairing) {
    constexpr int64_t kTime = test::TempTree::kDefaultTime;
    struct File {
        std::string path, content;
        int64_t time = kTime;
    };
    struct Case {
        const char* field;
        std::function<void(CompareJob&)> base, set;
        File source, target;
        std::string rowWhenSet;  // a result row there only with the field set
    };
    const auto none = [](CompareJob&) {};
    const Case cases[] = {
        {"includeSubFolders",
         none,
         [](CompareJob& j) { j.includeSubFolders = true; },
         {"d/f", "x"},
         {"d/f", "x"},
         "matched matched file 0 d/f"},
        {"comparisonMethod crc",
         none,
         [](CompareJob& j) { j.SetMethod(ComparisonMethod::Crc); },
         {"f", "ab"},
         {"f", "cd"},
         "newer older file 0 f"},
        {"comparisonMethod both",
         none,
         [](CompareJob& j) { j.SetMethod(ComparisonMethod::Both); },
         {"f", "ab"},
         {"f", "cd"},
         "newer older file 0 f"},
        {"ignoreTwoSeconds",
         none,
         [](CompareJob& j) { j.ignoreTwoSeconds = true; },
         {"f", "x", kTime + 2},
         {"f", "x"},
         "matched matched file 0 f"},
        {"ignoreSixtySeconds",
         none,
         [](CompareJob& j) { j.ignoreSixtySeconds = true; },
         {"f", "x", kTime + 60},
         {"f", "x"},
         "matched matched file 0 f"},
        {"ignoreOneHour",
         none,
         [](CompareJob& j) { j.ignoreOneHour = true; },
         {"f", "x", kTime + 3600},
         {"f", "x"},
         "matched matched file 0 f"},
        {"crcChunk",
         [](CompareJob& j) { j.SetMethod(ComparisonMethod::Crc); },
         [](CompareJob& j) { j.crcChunk = 4; },
         {"f", "abcdX"},
         {"f", "abcdY"},
         "matched matched file 0 f"},
        {"filterRules",
         none,
         [](CompareJob& j) {
             j.filterRules = {{FilterRule::kExclude, "f$"}};
         },
         {"f", "x"},
         {"f", "x"},
         "matched matched file 1 f"},
    };
    for (const Case& c : cases) {
        test::TempTree source;
        test::TempTree target;
        source.Write(c.source.path, c.source.content, c.source.time);
        target.Write(c.target.path, c.target.content, c.target.time);
        const auto rowsOf = [&](bool set) {
            CompareJob job;
            c.base(job);
            if (set) c.set(job);
            job.sourceFolder = source.Path();
            job.targetFolder = target.Path();
            test::ScriptedPrompter prompter;
            SideProvider sides(prompter, std::make_shared<LocalFileSystem>());
            Comparison comparison(sides);
            const ComparisonStart start =
                StartComparison(job, ConnectionLookup{}, comparison, prompter);
            EXPECT_EQ(start.outcome.reason, "");
            if (!start.run) return std::vector<std::string>{};
            start.run->Wait();
            EXPECT_EQ(start.run->Phase(), ComparisonPhase::Completed) << c.field;
            return test::Rows(comparison);
        };
        const std::vector<std::string> without = rowsOf(false);
        const std::vector<std::string> with = rowsOf(true);
        EXPECT_NE(std::find(with.begin(), with.end(), c.rowWhenSet), with.end())
            << c.field << ": " << testing::PrintToString(with);
        EXPECT_EQ(std::find(without.begin(), without.end(), c.rowWhenSet), without.end())
            << c.field << ": " << testing::PrintToString(without);
    }
}

}  // namespace
}  // namespace ravelmoor
