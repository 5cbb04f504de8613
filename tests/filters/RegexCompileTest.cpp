#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filters/Regex.h"

namespace ravelmoor {
namespace {

TEST(RegexCompile, AcceptsAndRejectsTheTable) {
    struct Case {
        std::string expression;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"", true},
        {"^abc", true},
        {"a^b", true},
        {"abc*", true},
        {"(abc)*", true},
        {"(a|)?", true},
        {"a|", true},
        {"|a", true},
        {"(a*)?", true},
        {"^?", true},
        {"$?", true},
        {".*", true},
        {"a+b+c?", true},
        {"(a|b)+", true},
        {"((a))", true},
        {"a{2}", true},
        {"]}-{", true},
        {"\\.", true},
        {"\\\\", true},
        {"\\(", true},
        {"[]a]", true},
        {"[^]a]", true},
        {"[a-]", true},
        {"[-a]", true},
        {"[]-a]", true},
        {"[a-a]", true},
        {"[\\]", true},      // no escapes inside sets: '\' is a member
        {"[\x80-a]", true},  // signed bounds: 0x80 lies below 'a'
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)", true},
        {"((((((((a))))))))", true},
        // A multiplier with nothing before it.
        {"*", false},
        {"+a", false},
        {"?", false},
        {"a|*b", false},
        {"(*a)", false},
        // '*' or '+' on what can match the empty string.
        {"^*", false},
        {"$+", false},
        {"(^)*", false},
        {"()*", false},
        {"()+", false},
        {"(a*)+", false},
        {"(a|)*", false},
        {"(a*b?)*", false},
        // Two multipliers in a row.
        {"a**", false},
        {"a*?", false},
        {"a+?", false},
        {"a?*", false},
        {"(ab)*+", false},
        // Trailing backslash.
        {"a\\", false},
        {"\\", false},
        // Sets: unterminated, reversed ranges.
        {"[", false},
        {"[]", false},
        {"[^]", false},
        {"[a", false},
        {"[a-", false},
        {"[z-a]", false},
        {"[a-c-b]", false},   // the second range runs from 'c' down to 'b'
        {"[a-\xe9]", false},  // signed bounds: 0xE9 lies below 'a'
        // Groups: a tenth, unmatched parentheses.
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", false},
        {"((((((((((a))))))))))", false},
        {"(a", false},
        {"a)", false},
        {")", false},
        {"(a))", false},
    };
    for (const Case& c : cases) {
        Regex regex;
        EXPECT_EQ(regex.Compile(c.expression), c.accepted) << c.expression;
        EXPECT_TRUE(regex.IsCompiled());
        EXPECT_EQ(regex.Program().empty(), !c.accepted) << c.expression;
    }
}

TEST(RegexCompile, ProgramsLargerThanLinksCanReachAreRejected) {
    Regex regex;
    EXPECT_TRUE(regex.Compile(std::string(32000, 'a')));
    EXPECT_EQ(regex.Program().size(), 32010u);
    EXPECT_FALSE(regex.Compile(std::string(40000, 'a')));
    EXPECT_TRUE(regex.Program().empty());
    EXPECT_EQ(regex.Find("aaa"), -1);
}

TEST(RegexCompile, NullExpressionFailsWithoutTouchingTheObject) {
    Regex regex;
    EXPECT_FALSE(regex.Compile(nullptr));
    EXPECT_FALSE(regex.IsCompiled());
    ASSERT_TRUE(regex.Compile("ab"));
    EXPECT_FALSE(regex.Compile(nullptr));
    EXPECT_EQ(regex.Find("xab"), 1);
}

TEST(RegexCompile, EmitsTheNodeProgramByteForByte) {
    struct Case {
        std::string expression;
        std::vector<uint8_t> program;
    };
    const std::vector<Case> cases = {
        // Branch -> End, Empty as the branch's only node.
        {"", {6, 6, 0, 9, 3, 0, 0, 0, 0}},
        {"a", {6, 8, 0, 8, 5, 0, 'a', 0, 0, 0, 0}},
        {"[a-c]", {6, 10, 0, 4, 7, 0, 'a', 'b', 'c', 0, 0, 0, 0}},
        // The multiplier takes only the last character of a run.
        {"ab*", {6, 16, 0, 8, 5, 0, 'a', 0, 10, 8, 0, 8, 0, 0, 'b', 0, 0, 0, 0}},
        // (x | nothing)
        {"x?", {6, 17, 0, 6, 8, 0, 8, 8, 0, 'x', 0, 6, 3, 0, 9, 3, 0, 0, 0, 0}},
        // (group, then Back to the first Branch | nothing); Back links backwards.
        {"(a)*", {6, 29, 0, 6, 20, 0,  21, 3, 0, 6, 8, 0, 8, 5, 0, 'a',
                  0, 31, 3, 0, 7,  17, 0,  6, 3, 0, 9, 3, 0, 0, 0, 0}},
        // The group, then (Back to the group | nothing).
        {"(a)+", {6, 29, 0, 21, 3, 0,  6, 8, 0, 8, 5, 0, 'a', 0, 31, 3,
                  0, 6,  6, 0,  7, 17, 0, 6, 3, 0, 9, 3, 0,   0, 0,  0}},
    };
    for (const Case& c : cases) {
        Regex regex;
        ASSERT_TRUE(regex.Compile(c.expression)) << c.expression;
        EXPECT_EQ(regex.Program(), c.program) << c.expression;
    }
}

TEST(RegexCompile, SetsPrefiltersFromTheOnlyAlternative) {
    struct Case {
        std::string expression;
        char firstChar;
        bool anchored;
        std::string mustContain;
    };
    const std::vector<Case> cases = {
        // A literal first tells the first character.
        {"abc", 'a', false, ""},
        {"abc*", 'a', false, ""},
        {"a^", 'a', false, ""},
        {"^abc", 0, true, ""},
        // More than one alternative, or a group first: nothing is known.
        {"ab|cd", 0, false, ""},
        {"(ab)", 0, false, ""},
        {"", 0, false, ""},
        // Starting with `*` or `+`: the longest literal of the chain, the
        // later one of equal length.
        {"x+abc", 0, false, "abc"},
        {"a*bcd*ef", 0, false, "ef"},
        {"a*bcde*f", 0, false, "bcd"},
        {"(ab)*cd", 0, false, "cd"},
        {"(ab)+", 0, false, ""},
        {"a*(bcd)", 0, false, ""},
        {"a?bc", 0, false, ""},
    };
    for (const Case& c : cases) {
        Regex regex;
        ASSERT_TRUE(regex.Compile(c.expression)) << c.expression;
        EXPECT_EQ(regex.FirstChar(), c.firstChar) << c.expression;
        EXPECT_EQ(regex.Anchored(), c.anchored) << c.expression;
        EXPECT_EQ(regex.MustContain(), c.mustContain) << c.expression;
    }
}

}  // namespace
}  // namespace ravelmoor
