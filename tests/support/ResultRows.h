#pragma once

#include <string>
#include <vector>

namespace ravelmoor {
class Comparison;
}

namespace ravelmoor::test {

// One line per result row: "SOURCE TARGET kind excluded path", the path below
// the root of the side that has the entry (the Source when both do).
std::vector<std::string> Rows(const Comparison& comparison);

}  // namespace ravelmoor::test
