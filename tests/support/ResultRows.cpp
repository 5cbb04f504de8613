#include "support/ResultRows.h"

#include <gtest/gtest.h>

#include "cli/ResultPrinter.h"
#include "core/engine/Comparison.h"

namespace ravelmoor::test {

std::vector<std::string> Rows(const Comparison& comparison) {
    std::vector<std::string> rows;
    EXPECT_EQ(comparison.SourceResults().GetSize(), comparison.TargetResults().GetSize());
    for (size_t i = 0; i < comparison.SourceResults().GetSize(); ++i) {
        const FileEntry& s = comparison.SourceResults().ElementAt(i);
        const FileEntry& t = comparison.TargetResults().ElementAt(i);
        const FileEntry& named = s.IsBlank() ? t : s;
        rows.push_back(std::string(StatusWord(s.status)) + " " + std::string(StatusWord(t.status)) +
                       " " + (named.IsFolder() ? "folder" : "file") + " " +
                       (s.excluded || t.excluded ? "1" : "0") + " " + named.path.str());
    }
    return rows;
}

}  // namespace ravelmoor::test
