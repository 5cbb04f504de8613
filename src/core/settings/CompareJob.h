#pragma once

#include <cstdint>
#include <string>

#include "core/engine/ComparisonMethod.h"
#include "core/engine/ComparisonRules.h"
#include "core/filters/FilterRule.h"

namespace ravelmoor {

// One comparison as the user set it up: both sides, sub-folders, method,
// tolerances, chunk and filters. The settings model holds one, a settings
// file stores one and the command line's options fill one; the engine's
// rules are made from it here and nowhere else, so that no front end can
// leave a field behind.
struct CompareJob {
    // Each side as written: a local folder, or "(ftp) NAME" for the folder of
    // a stored FTP connection, which the launch looks up.
    std::string sourceFolder;
    std::string targetFolder;
    bool includeSubFolders = false;
    // A ComparisonMethod value; a settings file may bring any number, which is
    // kept as it is (the summary calls it "both").
    int32_t comparisonMethod = 0;
    bool ignoreTwoSeconds = false;
    bool ignoreSixtySeconds = false;
    bool ignoreOneHour = false;
    uint32_t crcChunk = 0;  // bytes at the start of each file; 0 = the whole file
    FilterRules filterRules;

    ComparisonMethod Method() const { return static_cast<ComparisonMethod>(comparisonMethod); }
    void SetMethod(ComparisonMethod method) { comparisonMethod = static_cast<int32_t>(method); }

    // How the engine walks and judges the pairs of this job: 60 seconds
    // outweighs 2.
    ComparisonRules Rules() const;

    bool operator==(const CompareJob&) const = default;
};

}  // namespace ravelmoor
