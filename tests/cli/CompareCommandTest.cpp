#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/CommandTest.h"
#include "core/engine/IoRing.h"

namespace ravelmoor {
namespace {

using ::testing::HasSubstr;

using test::RunRavelmoor;

class CompareCommandTest : public test::CommandTest {
  protected:
    void SetUp() override { WriteDifferingTrees(); }
};

// Every spelling of an option, bundled short options, "--" and a root with
// a trailing '/' come to the same run; --all adds the matched rows, -q
// prints nothing and only the status says it.
TEST_F(CompareCommandTest, EachSpellingPrintsTheRowsOfTheSameRun) {
    const std::string differing =
        "unmatched\tmissing\tfile\t0\tonly-here.txt\n"
        "newer\tolder\tfile\t0\tDocs/report.txt\n"
        "missing\tunmatched\tfolder\t0\tgone\n"
        "missing\tunmatched\tfile\t0\tgone/old.txt\n";
    const std::string s = source.Path();
    const std::string t = target.Path();
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {{"compare", "-r", "--format", "tsv", s, t}, differing},
        {{"compare", "-r", "--by", "crc", "--format", "tsv", s, t}, differing},
        {{"compare", "--recursive", "--by=crc", "--format=tsv", s, t}, differing},
        {{"compare", "--subfolders", "--method", "crc", "--format", "tsv", s, t}, differing},
        {{"compare", "--format", "tsv", "-r", "--by", "crc", "--", s, t}, differing},
        {{"compare", "--all", "--format=tsv", s + "/", t},
         "unmatched\tmissing\tfile\t0\tonly-here.txt\n"
         "matched\tmatched\tfile\t0\tsame.txt\n"},
        {{"compare", "-rq", s, t}, ""},
    };
    for (const Case& c : cases) {
        const auto result = RunRavelmoor(c.args, Environment());
        EXPECT_EQ(result.exitCode, 1) << c.args[1];
        EXPECT_EQ(result.out, c.out) << c.args[1];
        EXPECT_EQ(result.err, "") << c.args[1];
    }
}

// -v says on standard error how files are read, and RAVELMOOR_IO_URING=0
// switches batched reading off; the rows are the same either way, and -q
// says nothing.
TEST_F(CompareCommandTest, VerboseSaysHowFilesAreRead) {
    const std::vector<std::string> args = {"compare",  "-rv", "--method",    "crc",
                                           "--format", "tsv", source.Path(), target.Path()};
    const auto asItIs = RunRavelmoor(args, Environment());
    auto switchedOff = Environment();
    switchedOff["RAVELMOOR_IO_URING"] = "0";
    const auto oneByOne = RunRavelmoor(args, switchedOff);
    const std::string off =
        "ravelmoor: Files are read one system call at a time (io_uring: switched off by "
        "RAVELMOOR_IO_URING=0).\n";
    EXPECT_EQ(oneByOne.err, off);
    // The program decides as this test's own process does on this machine.
    EXPECT_EQ(asItIs.err, "ravelmoor: " + IoRing::Describe() + "\n");
    EXPECT_EQ(asItIs.exitCode, 1);
    EXPECT_EQ(oneByOne.exitCode, 1);
    EXPECT_EQ(asItIs.out,
              "unmatched\tmissing\tfile\t0\tonly-here.txt\n"
              "newer\tolder\tfile\t0\tDocs/report.txt\n"
              "missing\tunmatched\tfolder\t0\tgone\n"
              "missing\tunmatched\tfile\t0\tgone/old.txt\n");
    EXPECT_EQ(oneByOne.out, asItIs.out);
    EXPECT_EQ(RunOnTrees({"compare", "-rvq"}).err, "");
}

TEST_F(CompareCommandTest, TextOutputSummarises) {
    const auto result = RunOnTrees({"compare", "-r"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.out, HasSubstr("newer      older      Docs/report.txt\n"));
    EXPECT_THAT(result.out, HasSubstr("missing    unmatched  gone/\n"));
    EXPECT_THAT(result.out,
                HasSubstr("4 differences: 1 newer in Source, 1 only in Source, 2 only in "
                          "Target. 2 rows match."));
}

TEST(CompareCommand, IdenticalFoldersExitZero) {
    test::TempTree a;
    test::TempTree b;
    a.Write("x/y.txt", "1");
    b.Write("x/y.txt", "1");
    const auto result = RunRavelmoor({"compare", "-r", "--method", "both", a.Path(), b.Path()});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_THAT(result.out, HasSubstr("The two folders are identical"));
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
        {{"compare", a.Path(), "(sftp) "}, "Target SFTP connection not found"},
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
         "Unknown option -x in -rx; see ravelmoor compare --help."},
        // -av, as rsync users type it, was reported as one unknown option
        // (-v is compare's own now; -az is as common).
        {{"compare", "-az", a.Path(), a.Path()},
         "Unknown options -a and -z in -az; see ravelmoor compare --help."},
        {{"compare", "-recursive", a.Path(), a.Path()},
         "Unknown option -recursive (did you mean --recursive?); see ravelmoor compare --help."},
        {{"compare", "--all=yes", a.Path(), a.Path()},
         "The option --all takes no value: --all=yes"},
        {{"compare", a.Path(), a.Path(), "--include"}, "The option --include needs a value."},
        // Refused before comparing: no output.
        {{"compare", "--include", "x", "--exclude", "(abc", a.Path(), a.Path()},
         "This regular expression is not valid: (abc"},
        // *.tmp was refused with no hint that a glob was meant.
        {{"compare", "--exclude", "*.tmp", a.Path(), a.Path()},
         "This regular expression is not valid: *.tmp. It reads as a shell glob: write "
         "--exclude-glob '*.tmp' for that."},
        // --exclude README matched nothing, without a word: paths are compared folded.
        {{"compare", "--exclude", "README", a.Path(), a.Path()},
         "The expression README can never match: paths are compared in lower case, so R "
         "matches nothing. Write readme, or use --exclude-glob with a glob, whose case does "
         "not matter."},
        {{"compare", "--include-glob", "[z-a]", a.Path(), a.Path()},
         "The glob [z-a] gives the expression (^|/)[z-a]$, which is not valid (a range "
         "backwards, more than nine **/, or too long)."},
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
