#include "core/engine/CoarseTimes.h"

#include <vector>

#include "core/engine/FileList.h"
#include "core/engine/FileSystem.h"
#include "core/engine/TimestampRule.h"

namespace ravelmoor {

size_t SettleCoarseTimes(FileList& sourceResults, FileList& targetResults,
                         const ComparisonRules& rules, const PairData& data) {
    if (rules.method == ComparisonMethod::Crc) return 0;
    std::vector<size_t> rows;
    std::vector<FileEntry*> sourceAsked;
    std::vector<FileEntry*> targetAsked;
    for (size_t row = 0; row < sourceResults.GetSize(); ++row) {
        FileEntry& source = sourceResults.ElementAt(row);
        FileEntry& target = targetResults.ElementAt(row);
        if (source.IsBlank() || target.IsBlank() || source.IsFolder() || target.IsFolder() ||
            source.excluded != 0 || target.excluded != 0 ||
            !EqualOnlyByCoarseTime(source, target, rules.toleranceSeconds, rules.ignoreOneHour)) {
            continue;
        }
        rows.push_back(row);
        if ((source.attributes & kTimeSpanAttributes) != 0) sourceAsked.push_back(&source);
        if ((target.attributes & kTimeSpanAttributes) != 0) targetAsked.push_back(&target);
    }
    if (rows.empty()) return 0;
    size_t asked = 0;
    if (!sourceAsked.empty()) asked += data.sourceFs.AskExactTimes(sourceAsked, data.sourceFolder);
    if (!targetAsked.empty()) asked += data.targetFs.AskExactTimes(targetAsked, data.targetFolder);
    for (const size_t row : rows) {
        FileEntry& source = sourceResults.ElementAt(row);
        FileEntry& target = targetResults.ElementAt(row);
        if (rules.method == ComparisonMethod::Both && source.status != EntryStatus::Matched) {
            continue;  // the checksums already found them different
        }
        // Sets the status unless the times still agree in Both, where the
        // checksums have had their say.
        ClassifyWithoutReading(source, target, rules);
    }
    return asked;
}

}  // namespace ravelmoor
