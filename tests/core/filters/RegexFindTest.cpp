#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/filters/Regex.h"

namespace ravelmoor {
namespace {

// What the comparison with the C library cannot tell: match lengths, and the
// parts of this syntax that POSIX reads otherwise.
TEST(RegexFind, FindsTheLeftmostMatchAndItsLength) {
    struct Case {
        std::string expression;
        std::string subject;
        ptrdiff_t offset;
        ptrdiff_t length;
    };
    // '[^a]' never matches the terminating NUL; '[\x80-a]' holds 0x80..0xFF and
    // 0x01..'a'; of 'a|ab' the first alternative that matches wins, not the
    // longest; matching is case-sensitive.
    const std::vector<Case> cases = {{"", "", 0, 0},           {"a^b", "a^b", -1, 0},
                                     {"$", "abc", 3, 0},       {"abc*", "ab", 0, 2},
                                     {"abc*", "xabccc", 1, 5}, {"x+", "abxxxc", 2, 3},
                                     {"[]a]", "x]", 1, 1},     {"[^a]", "a", -1, 0},
                                     {"[\\]", "a\\", 1, 1},    {"[\x80-a]", "\x90", 0, 1},
                                     {"[\x80-a]", "A", 0, 1},  {"[\x80-a]", "b", -1, 0},
                                     {"a{2}", "a{2}", 0, 4},   {"a{2}", "aa", -1, 0},
                                     {"a|ab", "ab", 0, 1},     {"(a|ab)(c|bcd)", "abcd", 0, 4},
                                     {"(a|)?b", "b", 0, 1},    {"\\.txt$", "docs/a.txt", 6, 4},
                                     {"A", "a", -1, 0}};

    for (const Case& c : cases) {
        Regex regex;
        ASSERT_TRUE(regex.Compile(c.expression)) << c.expression;
        EXPECT_EQ(regex.Find(c.subject), c.offset) << c.expression << " in " << c.subject;
        EXPECT_EQ(regex.MatchLength(), c.length) << c.expression << " in " << c.subject;
        const std::string found =
            c.offset < 0 ? "" : c.subject.substr(size_t(c.offset), size_t(c.length));
        EXPECT_EQ(regex.FoundText(), found) << c.expression << " in " << c.subject;
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

// Expressions on which plain backtracking takes exponential time when a
// subject of 200 characters almost matches: they must end, and rightly.
TEST(RegexFind, RunawayExpressionsOnLongSubjectsGiveTheRightAnswer) {
    std::string alternating;
    while (alternating.size() < 198)
        alternating += alternating.size() % 2 == 0 ? 'a' : 'b';
    struct Case {
        const char* expression;
        std::string subject;
        ptrdiff_t offset;
    };
    const Case cases[] = {
        {"(a|a)*b", std::string(198, 'a') + "cb", 199},
        {"(x+x+)+y", std::string(198, 'x') + "zy", -1},
        {"(a|aa)+$", std::string(199, 'a') + "b", -1},
        {"((a+)+)+b", std::string(198, 'a') + "cb", -1},
        {"(a|b|ab)*c", alternating + "dc", 199},
        {"(.+)+x", "x" + std::string(199, 'a'), -1},
        {"(a|a?a)+$", std::string(199, 'a') + "b", -1},
    };
    for (const Case& c : cases) {
        Regex regex;
        ASSERT_TRUE(regex.Compile(c.expression));
        EXPECT_EQ(regex.Find(c.subject), c.offset) << c.expression;
    }
}

}  // namespace
}  // namespace ravelmoor
