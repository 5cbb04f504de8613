#include "core/settings/CompareJob.h"

namespace ravelmoor {

ComparisonRules CompareJob::Rules() const {
    ComparisonRules rules;
    rules.method = Method();
    rules.toleranceSeconds = ignoreSixtySeconds ? 60 : (ignoreTwoSeconds ? 2 : 0);
    rules.ignoreOneHour = ignoreOneHour;
    rules.crcChunk = crcChunk;
    rules.includeSubFolders = includeSubFolders;
    return rules;
}

}  // namespace ravelmoor
