#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ravelmoor {

// What a comparison run found besides its rows, as plain values: the run
// fills them, the front ends read them through the Comparison.
struct ComparisonFindings {
    // Every pair matched (whether everything could be read is apart).
    bool allIdentical = true;
    // Folders (relative to their root, '/' after each) that could not be
    // listed.
    std::vector<std::string> unlistableSource;
    std::vector<std::string> unlistableTarget;
    // Files whose data could not be read for their checksums.
    std::vector<std::string> unreadableFiles;
    // Whether the Target's file system ignores case.
    bool targetIgnoresCase = false;
    // How many files a side was asked for its exact time.
    size_t exactTimesAsked = 0;
    // Source paths that differ only in case while the Target ignores case.
    std::vector<std::string> caseClashes;
    // Temporary files of broken copies found on each side.
    std::vector<std::string> leftoversSource;
    std::vector<std::string> leftoversTarget;
};

}  // namespace ravelmoor
