#include <gtest/gtest.h>

#include "support/RunProgram.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;

class CompareCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        source.Write("same.txt", "same");
        target.Write("same.txt", "same");
        source.Write("Docs/report.txt", "new", 2000);
        target.Write("docs/report.txt", "old", 1000);
        source.Write("only-here.txt", "x");
        target.Write("gone/old.txt", "y");
    }
    test::TempTree source;
    test::TempTree target;
};

TEST_F(CompareCommandTest, TsvListsTheDifferingRows) {
    const auto result =
        RunRavelmoor({"compare", "-r", "--format", "tsv", source.Path(), target.Path()});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out,
              "unmatched\tmissing\tfile\t0\tonly-here.txt\n"
              "newer\tolder\tfile\t0\tDocs/report.txt\n"
              "missing\tunmatched\tfolder\t0\tgone\n"
              "missing\tunmatched\tfile\t0\tgone/old.txt\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(CompareCommandTest, AllAddsTheMatchedRows) {
    const auto result =
        RunRavelmoor({"compare", "--all", "--format=tsv", source.Path() + "/", target.Path()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "unmatched\tmissing\tfile\t0\tonly-here.txt\n"
              "matched\tmatched\tfile\t0\tsame.txt\n");
}

TEST_F(CompareCommandTest, TextOutputSummarises) {
    const auto result = RunRavelmoor({"compare", "-r", source.Path(), target.Path()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("newer      older      Docs/report.txt\n"), std::string::npos);
    EXPECT_NE(result.out.find("missing    unmatched  gone/\n"), std::string::npos);
    EXPECT_NE(result.out.find("4 differences: 1 newer in Source, 1 only in Source, 2 only in "
                              "Target. 2 rows match."),
              std::string::npos)
        << result.out;
}

TEST(CompareCommand, IdenticalFoldersExitZero) {
    test::TempTree a;
    test::TempTree b;
    a.Write("x/y.txt", "1");
    b.Write("x/y.txt", "1");
    const auto result = RunRavelmoor({"compare", "-r", "--method", "both", a.Path(), b.Path()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("The two folders are identical"), std::string::npos);
}

TEST(CompareCommand, NamesWithTabsNewlinesAndBackslashesAreEscaped) {
    test::TempTree a;
    test::TempTree b;
    a.Write("tab\there", "1");
    a.Write("line\nfeed", "1");
    a.Write("back\\slash", "1");
    const auto result = RunRavelmoor({"compare", "--format", "tsv", a.Path(), b.Path()});
    EXPECT_EQ(result.out,
              "unmatched\tmissing\tfile\t0\tback\\\\slash\n"
              "unmatched\tmissing\tfile\t0\tline\\nfeed\n"
              "unmatched\tmissing\tfile\t0\ttab\\there\n");
}

TEST(CompareCommand, RefusesBadSidesAndOptionsWithStatusTwo) {
    test::TempTree a;
    a.Write("file.txt", "1");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"compare", a.Path() + "/missing", a.Path()}, "Source folder not found.\n"},
        {{"compare", a.Path()}, "Name the two folders to compare: SOURCE and TARGET.\n"},
        {{"compare", "--chunk", "x", a.Path(), a.Path()},
         "The byte count of --chunk must be a whole number from 0 to 4294967295.\n"},
        {{"compare", "--method", "fast", a.Path(), a.Path()},
         "Unknown method fast: a comparison method is size-time, crc or both.\n"},
        {{"compare", "--format", "xml", a.Path(), a.Path()},
         "The output format must be text or tsv.\n"},
        {{"frobnicate"}, "Unknown command frobnicate (see ravelmoor --help).\n"},
    };
    for (const Case& c : cases) {
        const auto result = RunRavelmoor(c.args);
        EXPECT_EQ(result.exitCode, 2) << c.message;
        EXPECT_EQ(result.err, c.message);
        EXPECT_EQ(result.out, "");
    }
}

}  // namespace
}  // namespace ravelmoor
