#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filters/Regex.h"

namespace ravelmoor {
namespace {

TEST(RegexFind, FindsTheLeftmostMatchAndItsLength) {
    struct Case {
        std::string expression;
        std::string subject;
        ptrdiff_t offset;
        ptrdiff_t length;
    };
    const std::vector<Case> cases = {
        {"", "abc", 0, 0},
        {"", "", 0, 0},
        {".*", "", 0, 0},
        {"^abc", "abcd", 0, 3},
        {"^abc", "xabc", -1, 0},
        {"a^b", "ab", -1, 0},
        {"a^b", "a^b", -1, 0},
        {"b$", "abab", 3, 1},
        {"$", "abc", 3, 0},
        {"abc*", "ab", 0, 2},
        {"abc*", "abc", 0, 3},
        {"abc*", "abccc", 0, 5},
        {"abc*", "xabd", 1, 2},
        {"(abc)*", "xyz", 0, 0},
        {"x*y", "xxxy", 0, 4},
        {"x+", "abxxxc", 2, 3},
        {"ab?c", "zac", 1, 2},
        {"a.c", "xabc", 1, 3},
        {"[]a]", "x]", 1, 1},
        {"[]a]", "xa", 1, 1},
        {"[]a]", "xb", -1, 0},
        {"[a-]", "b-", 1, 1},
        {"[^a-c]", "abcd", 3, 1},
        {"[^a]", "a", -1, 0},  // never the terminating NUL
        {"[\\]", "a\\", 1, 1},
        {"[\x80-a]", "\x90", 0, 1},  // holds 0x80..0xFF and 0x01..'a'
        {"[\x80-a]", "A", 0, 1},
        {"[\x80-a]", "b", -1, 0},
        {"\\.", "a.b", 1, 1},
        {"\\.", "ab", -1, 0},
        {"\\*", "a*", 1, 1},
        {"a{2}", "a{2}", 0, 4},
        {"a{2}", "aa", -1, 0},
        {"a|b", "cb", 1, 1},
        {"a|ab", "ab", 0, 1},  // the first alternative that matches, not the longest
        {"(a|ab)(c|bcd)", "abcd", 0, 4},
        {"(ab)+c", "ababc", 0, 5},
        {"(a|)?b", "b", 0, 1},
        {"\\.txt$", "docs/a.txt", 6, 4},
        {"\\.txt$", "a.txt.bak", -1, 0},
        {"^build/", "build/x.o", 0, 6},
        {"A", "a", -1, 0},  // case-sensitive
    };
    for (const Case& c : cases) {
        Regex regex;
        ASSERT_TRUE(regex.Compile(c.expression)) << c.expression;
        EXPECT_EQ(regex.Find(c.subject), c.offset) << c.expression << " in " << c.subject;
        EXPECT_EQ(regex.MatchLength(), c.length) << c.expression << " in " << c.subject;
        if (c.offset >= 0) {
            EXPECT_EQ(regex.FoundText(), c.subject.substr(static_cast<size_t>(c.offset),
                                                          static_cast<size_t>(c.length)));
        }
    }
}

TEST(RegexFind, RecordsGroupPositionsOfTheLastIteration) {
    struct Case {
        std::string expression;
        std::string subject;
        std::vector<std::pair<ptrdiff_t, ptrdiff_t>> groups;  // 0 = the whole match
    };
    const std::vector<Case> cases = {
        {"(a+)(b*)c", "xaabbc", {{1, 6}, {1, 3}, {3, 5}}},
        {"(ab)+", "zababab", {{1, 7}, {5, 7}}},
        {"(a)|b", "b", {{0, 1}, {-1, -1}}},
        {"((a)b)?c", "abc", {{0, 3}, {0, 2}, {0, 1}}},
    };
    for (const Case& c : cases) {
        Regex regex;
        ASSERT_TRUE(regex.Compile(c.expression));
        ASSERT_GE(regex.Find(c.subject), 0) << c.expression;
        for (size_t n = 0; n < c.groups.size(); ++n) {
            EXPECT_EQ(regex.GroupStart(static_cast<int>(n)), c.groups[n].first) << c.expression;
            EXPECT_EQ(regex.GroupEnd(static_cast<int>(n)), c.groups[n].second) << c.expression;
        }
        EXPECT_EQ(regex.GroupStart(9), -1);
    }
}

TEST(RegexFind, WithoutAProgramNothingMatches) {
    Regex never;
    EXPECT_EQ(never.Find("abc"), -1);  // never compiled
    Regex failed;
    EXPECT_FALSE(failed.Compile("[z-a]"));
    EXPECT_EQ(failed.Find("abc"), -1);
    EXPECT_EQ(failed.Find(""), -1);
    Regex fine;
    ASSERT_TRUE(fine.Compile(""));
    EXPECT_EQ(fine.Find(nullptr), -1);
    EXPECT_EQ(fine.MatchLength(), 0);
}

TEST(RegexFind, FailedFindReleasesTheFoundText) {
    Regex regex;
    ASSERT_TRUE(regex.Compile("b+"));
    EXPECT_EQ(regex.Find("abbc"), 1);
    EXPECT_EQ(regex.FoundText(), "bb");
    EXPECT_EQ(regex.Find("xyz"), -1);
    EXPECT_EQ(regex.FoundText(), "");
    EXPECT_EQ(regex.MatchLength(), 0);
}

// Expressions on which plain backtracking takes exponential time when the
// subject almost matches.
struct Runaway {
    const char* expression;
    std::string (*subject)(size_t length);
};

const std::vector<Runaway>& Runaways() {
    static const std::vector<Runaway> cases = {
        {"(a|a)*b", [](size_t n) { return std::string(n - 2, 'a') + "cb"; }},
        {"(x+x+)+y", [](size_t n) { return std::string(n - 2, 'x') + "zy"; }},
        {"(a|aa)+$", [](size_t n) { return std::string(n - 1, 'a') + "b"; }},
        {"((a+)+)+b", [](size_t n) { return std::string(n - 2, 'a') + "cb"; }},
        {"(a|b|ab)*c",
         [](size_t n) {
             std::string s;
             while (s.size() + 2 < n)
                 s += s.size() % 2 == 0 ? 'a' : 'b';
             return s + "dc";
         }},
        {"(.+)+x", [](size_t n) { return "x" + std::string(n - 1, 'a'); }},
        {"(a|a?a)+$", [](size_t n) { return std::string(n - 1, 'a') + "b"; }},
    };
    return cases;
}

void ExpectSameMatch(Regex& guarded, Regex& plain, const std::string& subject) {
    EXPECT_EQ(guarded.Find(subject), plain.Find(subject)) << subject;
    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(guarded.GroupStart(n), plain.GroupStart(n)) << subject << " group " << n;
        EXPECT_EQ(guarded.GroupEnd(n), plain.GroupEnd(n)) << subject << " group " << n;
    }
}

TEST(RegexFind, BacktrackGuardGivesThePlainBacktrackersAnswers) {
    for (const Runaway& c : Runaways()) {
        Regex guarded;
        Regex plain;
        ASSERT_TRUE(guarded.Compile(c.expression)) << c.expression;
        ASSERT_TRUE(plain.Compile(c.expression));
        plain.SetBacktrackGuard(false);
        // Short enough for the plain backtracker, long enough to switch the guard on.
        for (size_t length = 2; length <= 15; ++length) {
            const std::string almost = c.subject(length);
            ExpectSameMatch(guarded, plain, almost);
            ExpectSameMatch(guarded, plain, almost.substr(0, length - 1));
            ExpectSameMatch(guarded, plain, std::string(length, almost[0]));
        }
    }
}

TEST(RegexFind, RunawayExpressionsOnLongSubjectsGiveTheRightAnswer) {
    // Leftmost match offsets of each runaway subject of 200 characters.
    const std::vector<ptrdiff_t> expected = {199, -1, -1, -1, 199, -1, -1};
    ASSERT_EQ(expected.size(), Runaways().size());
    for (size_t k = 0; k < expected.size(); ++k) {
        Regex regex;
        ASSERT_TRUE(regex.Compile(Runaways()[k].expression));
        EXPECT_EQ(regex.Find(Runaways()[k].subject(200)), expected[k]) << Runaways()[k].expression;
    }
}

}  // namespace
}  // namespace ravelmoor
