#pragma once

#include <string>
#include <vector>

namespace ravelmoor {
class FolderComparer;
}

namespace ravelmoor::test {

// One line per result row: "SOURCE TARGET kind excluded path" with the path
// below the root of the side that has the entry (the Source when both do),
// e.g. "newer older file 0 Docs/report.txt".
std::vector<std::string> ResultRows(const FolderComparer& comparer);

}  // namespace ravelmoor::test
