// Names as bytes: escaping for display, 0xFF and control bytes through a
// comparison, names that differ only in case on one side.
#include <gtest/gtest.h>

#include <random>

#include "core/engine/NameEscape.h"
#include "support/ComparisonHarness.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedPrompter.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

TEST(NameEscape, WritesOddBytesVisiblyAndGivesThemBack) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
        {"back\\slash", "back\\\\slash"},
        {"caf\xE9", "caf\\xE9"},  // Latin-1, not UTF-8
        {"a\xFF"
         "b",
         "a\\xFFb"},
        {std::string("\x01\x1B[31m\x7F", 7), "\\x01\\x1B[31m\\x7F"},
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},  // valid UTF-8 stays
        {"\xC2\x9B"
         "2J",
         "\\xC2\\x9B2J"},                     // a C1 control character
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},  // a surrogate
        {"\xC0\xAF", "\\xC0\\xAF"},           // an overlong '/'
        {"cut \xE2\x82", "cut \\xE2\\x82"},   // a character cut short
    };
    for (const auto& [bytes, shown] : cases) {
        EXPECT_EQ(EscapeName(bytes), shown);
        std::string back;
        EXPECT_TRUE(UnescapeName(shown, back));
        EXPECT_EQ(back, bytes);
    }
    std::string ignored;
    for (const char* bad : {"\\q", "\\x4", "end\\", "\\xG0"})
        EXPECT_FALSE(UnescapeName(bad, ignored)) << bad;
}

TEST(NameEscape, AnyBytesComeBackAndNoControlByteIsLeft) {
    std::mt19937 random(15);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(static_cast<size_t>(round % 40), '\0');
        for (char& c : bytes)
            c = static_cast<char>(byte(random));
        const std::string shown = EscapeName(bytes);
        for (const char c : shown)
            ASSERT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << shown;
        EXPECT_TRUE(IsValidUtf8(shown));
        std::string back;
        ASSERT_TRUE(UnescapeName(shown, back));
        ASSERT_EQ(back, bytes);
    }
}

class NamesTest : public ::testing::Test {
  protected:
    // Each row as "SOURCE|TARGET excluded", blank sides empty.
    std::vector<std::string> Compare() {
        comparer.Reset({});
        comparer.Start(source.Root(), target.Root(), true, {}, {});
        comparer.Wait();
        EXPECT_EQ(comparer.Phase(), ComparisonPhase::Completed);
        std::vector<std::string> rows;
        for (size_t i = 0; i < comparer.SourceResults().GetSize(); ++i) {
            const FileEntry& s = comparer.SourceResults().ElementAt(i);
            const FileEntry& t = comparer.TargetResults().ElementAt(i);
            rows.push_back(s.path.str() + "|" + t.path.str() +
                           (s.excluded != 0 || t.excluded != 0 ? " excluded" : ""));
        }
        return rows;
    }

    test::TempTree source;
    test::TempTree target;
    test::ScriptedPrompter prompter;
    test::ComparisonHarness comparer{prompter};
};

TEST_F(NamesTest, EveryByteOfANameSurvivesTheComparison) {
    const std::vector<std::string> names = {
        "a\xFF"
        "b.txt",
        "ab.txt",
        "\xFF",
        "x\xFF\xFF",
        "tab\there",
        "cr\rlf\n",
        "caf\xE9"};
    for (const auto& name : names)
        source.Write(name, "same");
    for (const auto& name : names)
        target.Write(name, "same");
    source.Write("d\xFF/in\xFF", "x");
    target.Write("d\xFF/in\xFF", "x");
    target.Write(
        "d\xFF"
        "e.txt",
        "stray");  // must not pair with anything
    const auto rows = Compare();
    EXPECT_EQ(rows,
              (std::vector<std::string>{"ab.txt|ab.txt",
                                        "a\xFF"
                                        "b.txt|a\xFF"
                                        "b.txt",
                                        "caf\xE9|caf\xE9", "cr\rlf\n|cr\rlf\n",
                                        "|d\xFF"
                                        "e.txt",
                                        "tab\there|tab\there", "x\xFF\xFF|x\xFF\xFF", "\xFF|\xFF",
                                        "d\xFF|d\xFF", "d\xFF/in\xFF|d\xFF/in\xFF"}))
        << "the stray row is Target-only";
}

TEST_F(NamesTest, ExactSpellingPairsFirstAndTwinsNeverShareAPartner) {
    struct Case {
        std::vector<std::string> source, target, rows;
    };
    const std::vector<Case> cases = {
        // One name each side: paired whatever the case.
        {{"Report.TXT"}, {"report.txt"}, {"Report.TXT|report.txt"}},
        // Twins in Source: the exact spelling takes the Target's file.
        {{"A.txt", "a.txt"}, {"a.txt"}, {"A.txt|", "a.txt|a.txt"}},
        {{"A.txt"}, {"A.txt", "a.txt"}, {"A.txt|A.txt", "a.txt"}},
        // No exact partner and more than one candidate: nobody pairs.
        {{"A.txt", "a.txt"}, {"a.TXT"}, {"A.txt|", "a.TXT", "a.txt|"}},
        // Exact pairs first, then the one left on each side pairs by case.
        {{"X", "x", "Y"}, {"x", "y"}, {"X|", "x|x", "Y|y"}},
        // Folder twins keep their content apart.
        {{"Docs/n.txt", "docs/n.txt"},
         {"docs/n.txt"},
         {"Docs|", "docs|docs", "Docs/n.txt|", "docs/n.txt|docs/n.txt"}},
    };
    for (const auto& c : cases) {
        test::TempTree s;
        test::TempTree t;
        for (const auto& name : c.source)
            s.Write(name, "1");
        for (const auto& name : c.target)
            t.Write(name, "1");
        comparer.Reset({});
        comparer.Start(s.Root(), t.Root(), true, {}, {});
        comparer.Wait();
        std::vector<std::string> rows;
        for (size_t i = 0; i < comparer.SourceResults().GetSize(); ++i) {
            const auto& se = comparer.SourceResults().ElementAt(i);
            const auto& te = comparer.TargetResults().ElementAt(i);
            // A Target-only row has no bar.
            rows.push_back(se.IsBlank() ? te.path.str() : se.path.str() + "|" + te.path.str());
        }
        EXPECT_EQ(rows, c.rows) << c.source.front();
        EXPECT_TRUE(prompter.Texts().empty());
    }
}

TEST_F(NamesTest, TwinsClashOnATargetThatIgnoresCase) {
    auto fs = std::make_shared<test::FaultyFileSystem>();
    fs->IgnoreCase();
    comparer.SetLocalFileSystem(fs);
    for (const char* name : {"A.txt", "a.txt", "Sub/x", "sub/x", "sub/y", "ok.txt"})
        source.Write(name, "1");
    target.Write("A.txt", "1");
    EXPECT_EQ(Compare(),
              (std::vector<std::string>{"A.txt|A.txt excluded", "a.txt| excluded", "ok.txt|",
                                        "Sub| excluded", "sub| excluded", "Sub/x| excluded",
                                        "sub/x| excluded", "sub/y| excluded"}));
    ASSERT_EQ(prompter.Texts().size(), 1u);
    const std::string warning = prompter.Texts().front() + "\n";
    EXPECT_EQ(warning, comparer.CaseClashWarning() + "\n");
    for (const char* path : {"A.txt", "a.txt", "Sub", "sub", "Sub/x", "sub/x"})
        EXPECT_NE(warning.find("  Source: " + source.Root() + path + "\n"), std::string::npos)
            << path;
    EXPECT_FALSE(comparer.AllIdentical()) << "ok.txt is still to be copied";
}

}  // namespace
}  // namespace ravelmoor
