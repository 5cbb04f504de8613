#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/filters/FilterSet.h"
#include "support/ComparisonHarness.h"
#include "support/RunProgram.h"
#include "support/ScriptedPrompter.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;

FilterRule Include(const std::string& expression) {
    return {FilterRule::kInclude, expression};
}
FilterRule Exclude(const std::string& expression) {
    return {FilterRule::kExclude, expression};
}

class FilterSetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        source.Write("a.txt", "same");
        target.Write("a.txt", "same");
        source.Write("Notes.TXT", "new", 2000);
        target.Write("notes.txt", "old", 1000);
        source.Write("docs/readme.txt", "r");
        source.Write("docs/logo.png", "p");
        source.Write("build/out.o", "o");
        target.Write("Äpfel/liste.txt", "l");
    }

    // The excluded rows of a run with `rules`, "path" per row (the side that
    // has the entry names it), in result order.
    std::vector<std::string> ExcludedRows(const FilterRules& rules) {
        comparer.Reset({});
        auto filter = std::make_shared<FilterSet>();
        filter->Prepare(rules);
        comparer.SetFilter(filter);
        comparer.Start(source.Root(), target.Root(), true, {}, {});
        comparer.Wait();
        EXPECT_EQ(comparer.Phase(), ComparisonPhase::Completed);
        EXPECT_EQ(comparer.SourceResults().GetSize(), 9u);  // excluded rows stay
        std::vector<std::string> rows;
        for (size_t i = 0; i < comparer.SourceResults().GetSize(); ++i) {
            const FileEntry& s = comparer.SourceResults().ElementAt(i);
            const FileEntry& t = comparer.TargetResults().ElementAt(i);
            if (!s.IsBlank() && !t.IsBlank()) {
                EXPECT_EQ(s.excluded, t.excluded) << "row " << i;
            }
            if (s.excluded == 0 && t.excluded == 0) continue;
            rows.push_back(s.IsBlank() ? t.path.str() : s.path.str());
        }
        return rows;
    }

    test::TempTree source;
    test::TempTree target;
    test::ScriptedPrompter prompter;
    test::ComparisonHarness comparer{prompter};
};

// Excluded differences do not count: the folders are identical when every
// differing row is excluded.
TEST_F(FilterSetTest, RulesMarkExactlyTheRejectedRows) {
    using Rows = std::vector<std::string>;
    const Rows everything = {"a.txt",         "Notes.TXT",       "build", "build/out.o",    "docs",
                             "docs/logo.png", "docs/readme.txt", "Äpfel", "Äpfel/liste.txt"};
    struct Case {
        const char* name;
        FilterRules rules;
        Rows excluded;
        bool identical;
    };
    const std::vector<Case> cases = {
        {"no rules", {}, {}, false},
        {"only excludes",
         {Exclude("^build"), Exclude("\\.png$")},
         {"build", "build/out.o", "docs/logo.png"},
         false},
        // Folders do not end in .txt, so they are rejected too; the subject is
        // case-folded, so Notes.TXT passes.
        {"include .txt",
         {Include("\\.txt$")},
         {"build", "build/out.o", "docs", "docs/logo.png", "Äpfel"},
         false},
        {"empty include",
         {Include(""), Exclude("\\.[op]")},
         {"build/out.o", "docs/logo.png"},
         false},
        {"empty exclude", {Exclude("")}, everything, true},
        {"upper-case expression never matches", {Include("\\.TXT$")}, everything, true},
        // Folding is Unicode-aware, not byte by byte.
        {"non-ASCII folding", {Exclude("^äpfel")}, {"Äpfel", "Äpfel/liste.txt"}, false},
        {"every difference excluded",
         {Exclude("^build"), Exclude("^docs"), Exclude("notes"), Exclude("pfel")},
         {"Notes.TXT", "build", "build/out.o", "docs", "docs/logo.png", "docs/readme.txt", "Äpfel",
          "Äpfel/liste.txt"},
         true},
        // A user wrote ^docs$ for the folder and found its files still compared.
        {"a folder rule excludes its content",
         {Exclude("^docs$")},
         {"docs", "docs/logo.png", "docs/readme.txt"},
         false},
        {"invalid exclude rejects nothing", {Exclude("[z-a]")}, {}, false},
        {"invalid only include rejects everything",
         {Include("(abc"), Exclude("x")},
         everything,
         true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExcludedRows(c.rules), c.excluded) << c.name;
        EXPECT_EQ(comparer.AllIdentical(), c.identical) << c.name;
    }
}

// Expressions and globs on the command line come to the same rows.
TEST_F(FilterSetTest, CommandLineMarksTheFilteredRows) {
    const std::vector<std::vector<std::string>> spellings = {
        {"--exclude", "^build$", "--include", "\\.txt$"},
        {"--exclude-glob", "build", "--include-glob", "*.txt"},
        {"--exclude-glob=/BUILD/", "--include-glob=**/*.TXT"},
    };
    for (const auto& filters : spellings) {
        std::vector<std::string> args = {"compare", "-r", "--format", "tsv"};
        args.insert(args.end(), filters.begin(), filters.end());
        args.insert(args.end(), {source.Path(), target.Path()});
        const auto result = RunRavelmoor(args);
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(result.out,
                  "newer\tolder\tfile\t0\tNotes.TXT\n"
                  "unmatched\tmissing\tfolder\t1\tbuild\n"
                  "unmatched\tmissing\tfile\t1\tbuild/out.o\n"
                  "unmatched\tmissing\tfolder\t1\tdocs\n"
                  "unmatched\tmissing\tfile\t1\tdocs/logo.png\n"
                  "unmatched\tmissing\tfile\t0\tdocs/readme.txt\n"
                  "missing\tunmatched\tfolder\t1\tÄpfel\n"
                  "missing\tunmatched\tfile\t0\tÄpfel/liste.txt\n")
            << filters[1];
        EXPECT_EQ(result.err, "") << filters[1];
    }
}

}  // namespace
}  // namespace ravelmoor
