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

// Every spelling of an option, bundled short options and "--" come to the same run.
TEST_F(CompareCommandTest, OptionSpellingsGiveTheSameRun) {
    const std::string tsv =
        "unmatched\tmissing\tfile\t0\tonly-here.txt\n"
        "newer\tolder\tfile\t0\tDocs/report.txt\n"
        "missing\tunmatched\tfolder\t0\tgone\n"
        "missing\tunmatched\tfile\t0\tgone/old.txt\n";
    const std::vector<std::vector<std::string>> spellings = {
        {"-r", "--by", "crc", "--format", "tsv"},
        {"--recursive", "--by=crc", "--format=tsv"},
        {"--subfolders", "--method", "crc", "--format", "tsv"},
        {"--format", "tsv", "-r", "--by", "crc", "--"},
    };
    for (const auto& options : spellings) {
        std::vector<std::string> args = {"compare"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(source.Path());
        args.push_back(target.Path());
        const auto result = RunRavelmoor(args);
        EXPECT_EQ(result.exitCode, 1) << options.front();
        EXPECT_EQ(result.out, tsv) << options.front();
    }
    // -q prints nothing, only the status says it.
    const auto quiet = RunRavelmoor({"compare", "-rq", source.Path(), target.Path()});
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.out + quiet.err, "");
}

TEST(CompareCommand, RefusesBadSidesAndOptionsWithStatusTwo) {
    test::TempTree a;
    a.Write("file.txt", "1");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"compare", a.Path() + "/missing", a.Path()},
         "Source folder not found: " + a.Path() + "/missing (No such file or directory)"},
        {{"compare", a.Path(), a.Full("file.txt")},
         "Target folder not found: " + a.Full("file.txt") + " (Not a directory)"},
        {{"compare", a.Path()}, "Name the two folders to compare: SOURCE and TARGET."},
        {{"compare", "(ftp) Nope", a.Path()}, "Source FTP connection not found: Nope"},
        {{"compare", a.Path(), "(sftp) "}, "Target SFTP connection not found (no connection name)"},
        {{"compare", a.Path(), a.Path(), "x"},
         "Name only two folders, SOURCE and TARGET: x is one too many."},
        // After "--" an option is a folder.
        {{"compare", "--", "-r", a.Path()},
         "Source folder not found: -r (No such file or directory)"},
        {{"compare", "--chunk", "x", a.Path(), a.Path()},
         "The byte count of --chunk must be a whole number from 0 to 4294967295: x"},
        {{"compare", "--method", "fast", a.Path(), a.Path()},
         "Unknown comparison method fast: a comparison method is size-time, crc or both."},
        {{"compare", "--by", "bth", a.Path(), a.Path()},
         "Unknown comparison method bth (did you mean both?): a comparison method is "
         "size-time, crc or both."},
        {{"compare", "--format", "xml", a.Path(), a.Path()},
         "The output format must be text, tsv or json: xml"},
        {{"compare", "--fromat=tsv", a.Path(), a.Path()},
         "Unknown option --fromat (did you mean --format?); see ravelmoor compare --help."},
        {{"compare", "-rx", a.Path(), a.Path()},
         "Unknown option -x; see ravelmoor compare --help."},
        {{"compare", "--all=yes", a.Path(), a.Path()},
         "The option --all takes no value: --all=yes"},
        {{"compare", a.Path(), a.Path(), "--include"}, "The option --include needs a value."},
        {{"comapre"}, "Unknown command comapre (did you mean compare?); see ravelmoor --help."},
    };
    for (const Case& c : cases) {
        const auto result = RunRavelmoor(c.args);
        EXPECT_EQ(result.exitCode, 2) << c.message;
        EXPECT_EQ(result.err, "ravelmoor: " + c.message + "\n");
        EXPECT_EQ(result.out, "");
    }
}

}  // namespace
}  // namespace ravelmoor
