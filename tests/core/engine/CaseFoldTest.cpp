#include <gtest/gtest.h>

#include "core/engine/CaseFold.h"
#include "core/engine/MatchKey.h"

namespace ravelmoor {
namespace {

TEST(FoldCase, FoldsLettersAndKeepsEverythingElse) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"Docs/Report.TXT", "docs/report.txt"},
        {"a\\B", "a\\b"},  // a backslash is an ordinary character
        {"\xFF"
         "Sub/\xFF"
         "Deep/X",
         "\xFF"
         "sub/\xFF"
         "deep/x"},
        {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"},  // ÉTÉ -> été
        {"\xFF"
         "\xC3\x96l/A",
         "\xFF"
         "\xC3\xB6l/a"},  // marker before a UTF-8 name
        {"caf\xE9"
         "X",
         "caf\xE9"
         "x"},  // Latin-1 byte kept as it is
    };
    for (const Case& c : cases)
        EXPECT_EQ(FoldCase(c.in), c.out) << c.in;
}

TEST(CompareKeys, SeparatorsLowestMarkersHighestPrefixesFirst) {
    // Each key sorts strictly before the next.
    const std::vector<std::string> ordered = {
        "a",
        "a/b",    // '/' below every other byte
        "a\x01",  // a control byte still sorts above '/'
        "a-b",
        "a.txt",
        "ab",
        "b",
        "\xFF"
        "a",  // folders after files
        "\xFF"
        "a/x",  // a folder's content right after it
        "\xFF"
        "a/\xFF"
        "z",
        "\xFF"
        "a-b",
        "\xFF"
        "b",
    };
    for (size_t i = 0; i + 1 < ordered.size(); ++i) {
        EXPECT_LT(CompareKeys(ordered[i], ordered[i + 1]), 0) << i;
        EXPECT_GT(CompareKeys(ordered[i + 1], ordered[i]), 0) << i;
    }
    EXPECT_EQ(CompareKeys("same", "same"), 0);
}

}  // namespace
}  // namespace ravelmoor
