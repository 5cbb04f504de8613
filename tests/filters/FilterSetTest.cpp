#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/FolderComparer.h"
#include "filters/FilterSet.h"
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
    FolderComparer comparer{prompter};
};

TEST_F(FilterSetTest, RulesMarkExactlyTheRejectedRows) {
    using Rows = std::vector<std::string>;
    const Rows everything = {"a.txt",         "Notes.TXT",       "build", "build/out.o",    "docs",
                             "docs/logo.png", "docs/readme.txt", "Äpfel", "Äpfel/liste.txt"};
    struct Case {
        const char* name;
        FilterRules rules;
        Rows excluded;
    };
    const std::vector<Case> cases = {
        {"no rules", {}, {}},
        {"only excludes",
         {Exclude("^build"), Exclude("\\.png$")},
         {"build", "build/out.o", "docs/logo.png"}},
        // Folders do not end in .txt, so they are rejected too; the subject is
        // case-folded, so Notes.TXT passes.
        {"include .txt",
         {Include("\\.txt$")},
         {"build", "build/out.o", "docs", "docs/logo.png", "Äpfel"}},
        {"include and exclude",
         {Include("\\.txt$"), Exclude("^docs/")},
         {"build", "build/out.o", "docs", "docs/logo.png", "docs/readme.txt", "Äpfel"}},
        {"empty include", {Include(""), Exclude("\\.[op]")}, {"build/out.o", "docs/logo.png"}},
        {"empty exclude", {Exclude("")}, everything},
        {"upper-case expression never matches", {Include("\\.TXT$")}, everything},
        // Folding is Unicode-aware, not byte by byte.
        {"non-ASCII folding", {Exclude("^äpfel")}, {"Äpfel", "Äpfel/liste.txt"}},
        {"invalid exclude rejects nothing", {Exclude("[z-a]")}, {}},
        {"invalid only include rejects everything", {Include("(abc"), Exclude("x")}, everything},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExcludedRows(c.rules), c.excluded) << c.name;
    }
}

TEST_F(FilterSetTest, ExcludedDifferencesLeaveTheFoldersIdentical) {
    ExcludedRows({Exclude("^build"), Exclude("^docs"), Exclude("notes"), Exclude("pfel")});
    EXPECT_EQ(comparer.SourceResults().GetSize(), 9u);  // excluded rows stay in the result
    EXPECT_TRUE(comparer.AllIdentical());
    ExcludedRows({Exclude("^build"), Exclude("^docs"), Exclude("notes")});
    EXPECT_FALSE(comparer.AllIdentical());
}

TEST_F(FilterSetTest, CommandLineMarksTheFilteredRows) {
    test::TempTree src;
    test::TempTree tgt;
    src.Write("top.cpp", "same");
    tgt.Write("top.cpp", "same");
    src.Write("notes.txt", "n");
    src.Write("build/main.cpp", "b");
    src.Write("src/a.cpp", "new", 2000);
    tgt.Write("src/a.cpp", "old", 1000);
    src.Write("src/b.h", "h");
    const auto result = RunRavelmoor({"compare", "-r", "--exclude", "^build/", "--include",
                                      "\\.cpp$", src.Path(), tgt.Path(), "--format", "tsv"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out,
              "unmatched\tmissing\tfile\t1\tnotes.txt\n"
              "unmatched\tmissing\tfolder\t1\tbuild\n"
              "unmatched\tmissing\tfile\t1\tbuild/main.cpp\n"
              "newer\tolder\tfile\t0\tsrc/a.cpp\n"
              "unmatched\tmissing\tfile\t1\tsrc/b.h\n");
    EXPECT_EQ(result.err, "");
}

TEST(FilterCommand, InvalidExpressionIsRefusedBeforeComparing) {
    test::TempTree a;
    test::TempTree b;
    a.Write("x.txt", "1");
    for (const std::string expression : {"(abc", "a**", "[z-a]", "a\\"}) {
        const auto result = RunRavelmoor(
            {"compare", "--include", "x", "--exclude", expression, a.Path(), b.Path()});
        EXPECT_EQ(result.exitCode, 2) << expression;
        EXPECT_EQ(result.err, "This regular expression is not valid: " + expression + "\n");
        EXPECT_EQ(result.out, "");
    }
}

}  // namespace
}  // namespace ravelmoor
