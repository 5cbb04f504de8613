#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/filters/FilterSet.h"
#include "core/filters/GlobExpression.h"

namespace ravelmoor {
namespace {

// A glob excludes what a shell (or rsync) would take it to name, folded as
// paths are, and a folder it names takes its content with it.
TEST(GlobExpression, ExcludesWhatTheGlobNames) {
    struct Case {
        const char* glob;
        std::vector<std::string> excluded;
        std::vector<std::string> kept;
    };
    const Case cases[] = {
        {"*.tmp", {"a.tmp", "sub/b.TMP", ".tmp", "x.tmp/inside.txt"}, {"a.tmp.txt", "tmp", "atmp"}},
        {"build", {"build", "src/Build", "build/x.o"}, {"builder", "rebuild", "build.txt"}},
        {"build/", {"build", "src/build/x.o"}, {"builder"}},
        {"/build", {"build", "build/x.o"}, {"src/build"}},
        {"docs/*.txt", {"docs/a.txt", "Docs/B.TXT"}, {"docs/sub/a.txt", "x/docs/a.txt"}},
        {"docs/**/*.txt", {"docs/a.txt", "docs/sub/deep/a.txt"}, {"docs/a.png", "x/docs/a.txt"}},
        {"**/cache", {"cache", "a/b/cache", "a/cache/x"}, {"a/cached"}},
        {"a/**", {"a/x", "a/b/c"}, {"a", "b/a/x"}},
        {"a?c", {"abc", "x/aXc"}, {"a/c", "ac", "abbc"}},
        {"[!a]x", {"bx", "d/cx"}, {"ax", "x"}},
        {"[ab]x", {"ax", "Bx"}, {"cx"}},
        {"[a-]x", {"-x", "ax"}, {"bx"}},
        {"[!a-]x", {"bx"}, {"-x", "ax"}},
        {"README", {"README", "docs/readme"}, {"README.md"}},
        // Characters the expressions give a meaning to are themselves in a glob.
        {"file(1).txt", {"file(1).txt"}, {"file1.txt", "file(1)xtxt"}},
        {"a+b|c$", {"a+b|c$"}, {"aab", "c"}},
        {"\\*", {"*"}, {"x"}},
        {"[unclosed", {"[unclosed"}, {"u"}},
    };
    for (const Case& c : cases) {
        FilterSet filter;
        filter.Prepare({{FilterRule::kExclude, GlobToExpression(c.glob)}});
        for (const std::string& path : c.excluded)
            EXPECT_TRUE(filter.IsExcluded(path)) << c.glob << " on " << path;
        for (const std::string& path : c.kept)
            EXPECT_FALSE(filter.IsExcluded(path)) << c.glob << " on " << path;
    }
}

// What the command line tells a user who typed one language for the other.
TEST(GlobExpression, SaysWhatAnExpressionWasMeantToBe) {
    struct Case {
        const char* expression;
        bool glob;          // reads as a glob and is no expression
        const char* never;  // the character that never matches
    };
    const Case cases[] = {
        {"*.tmp", true, ""},    {"**/cache", true, ""},   {"?", true, ""},
        {"\\.tmp$", false, ""}, {"a*", false, ""},        {"(abc", false, ""},
        {"README", false, "R"}, {"read\\Me", false, "M"}, {"[A-Z]x", false, ""},
        {"^Äpfel", false, "Ä"}, {"äpfel", false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LooksLikeGlob(c.expression), c.glob) << c.expression;
        EXPECT_EQ(CharacterThatNeverMatches(c.expression), c.never) << c.expression;
    }
}

}  // namespace
}  // namespace ravelmoor
