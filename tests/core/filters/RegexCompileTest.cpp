#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/filters/Regex.h"

namespace ravelmoor {
namespace {

TEST(RegexCompile, AcceptsAndRejectsTheTable) {
    // No escapes inside sets ('\' is a member); set bounds are signed chars
    // (0x80 lies below 'a', so does 0xE9).
    const char* const accepted[] = {
        "",     "^abc",  "a^b",    "abc*",   "(abc)*", "(a|)?", "a|",   "|a",      "(a*)?", "^?",
        "$?",   ".*",    "a+b+c?", "(a|b)+", "((a))",  "a{2}",  "]}-{", "\\.",     "\\\\",  "\\(",
        "[]a]", "[^]a]", "[a-]",   "[-a]",   "[]-a]",  "[a-a]", "[\\]", "[\x80-a]"};
    // A multiplier with nothing before it, on what can match the empty string,
    // or twice in a row; a trailing backslash; unterminated sets and reversed
    // ranges; unmatched parentheses.
    const char* const rejected[] = {"*",    "+a",  "?",   "a|*b",   "(*a)",  "^*",      "$+",
                                    "(^)*", "()*", "()+", "(a*)+",  "(a|)*", "(a*b?)*", "a**",
                                    "a*?",  "a+?", "a?*", "(ab)*+", "a\\",   "\\",      "[",
                                    "[]",   "[^]", "[a",  "[a-",    "[z-a]", "[a-c-b]", "[a-\xe9]",
                                    "(a",   "a)",  ")",   "(a))"};
    auto expect = [](const std::string& expression, bool accept) {
        Regex regex;
        EXPECT_EQ(regex.Compile(expression), accept) << expression;
        EXPECT_EQ(regex.Program().empty(), !accept) << expression;
    };
    for (const char* expression : accepted)
        expect(expression, true);
    for (const char* expression : rejected)
        expect(expression, false);
    // Nine groups, side by side or nested, and not ten.
    for (const int groups : {9, 10}) {
        std::string row;
        for (char name = 'a'; name < 'a' + groups; ++name)
            row += std::string("(") + name + ")";
        expect(row, groups == 9);
        expect(std::string(groups, '(') + "a" + std::string(groups, ')'), groups == 9);
    }
}

// Without a program (never compiled, or refused) or without a subject
// nothing matches, and a failed search forgets the match before it.
TEST(RegexCompile, RefusedInputLeavesNoProgramThatMatches) {
    Regex regex;
    EXPECT_EQ(regex.Find("abc"), -1);
    EXPECT_FALSE(regex.Compile(nullptr));
    EXPECT_FALSE(regex.IsCompiled());
    EXPECT_TRUE(regex.Compile(std::string(32000, 'a')));
    EXPECT_EQ(regex.Program().size(), 32010u);
    // Larger than the 16-bit links can reach.
    EXPECT_FALSE(regex.Compile(std::string(40000, 'a')));
    EXPECT_TRUE(regex.IsCompiled());
    EXPECT_TRUE(regex.Program().empty());
    EXPECT_EQ(regex.Find("aaa"), -1);
    EXPECT_EQ(regex.Find(""), -1);
    // A null expression leaves the program before it.
    ASSERT_TRUE(regex.Compile("ab"));
    EXPECT_FALSE(regex.Compile(nullptr));
    EXPECT_EQ(regex.Find("xab"), 1);
    EXPECT_EQ(regex.Find(nullptr), -1);
    EXPECT_EQ(regex.Find("xyz"), -1);
    EXPECT_EQ(regex.FoundText(), "");
    EXPECT_EQ(regex.MatchLength(), 0);
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
    // A literal first tells the first character; more than one alternative or
    // a group first tells nothing; a start with `*` or `+` gives the longest
    // literal of the chain, the later one of equal length.
    const std::vector<Case> cases = {{"abc", 'a', false, ""},      {"abc*", 'a', false, ""},
                                     {"a^", 'a', false, ""},       {"^abc", 0, true, ""},
                                     {"ab|cd", 0, false, ""},      {"(ab)", 0, false, ""},
                                     {"", 0, false, ""},           {"x+abc", 0, false, "abc"},
                                     {"a*bcd*ef", 0, false, "ef"}, {"a*bcde*f", 0, false, "bcd"},
                                     {"(ab)*cd", 0, false, "cd"},  {"(ab)+", 0, false, ""},
                                     {"a*(bcd)", 0, false, ""},    {"a?bc", 0, false, ""}};
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
