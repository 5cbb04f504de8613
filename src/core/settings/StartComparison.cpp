#include "core/settings/StartComparison.h"

#include "core/engine/Comparison.h"
#include "core/filters/FilterSet.h"
#include "core/ftp/FtpOpener.h"

namespace ravelmoor {

ComparisonStart StartComparison(CompareJob& job, const ConnectionLookup& lookup,
                                Comparison& comparison, Prompter& prompter,
                                const std::function<void(ComparisonRun&)>& beforeStart) {
    ComparisonStart start;
    start.outcome = CheckCompareSides(job.sourceFolder, job.targetFolder, lookup, start.sourceFtp,
                                      start.targetFtp);
    if (!start.outcome.Ok()) return start;

    comparison.Reset(job.Rules(), RootText(job.sourceFolder), RootText(job.targetFolder));
    if (!start.sourceFtp.IsEmpty())
        comparison.Sides().SetRemote(Side::Source, MakeFtpSide(start.sourceFtp));
    if (!start.targetFtp.IsEmpty())
        comparison.Sides().SetRemote(Side::Target, MakeFtpSide(start.targetFtp));
    start.run = std::make_unique<ComparisonRun>(comparison, prompter);
    auto filter = std::make_shared<FilterSet>();
    filter->Prepare(job.filterRules);
    start.run->SetFilter(std::move(filter));
    if (beforeStart) beforeStart(*start.run);
    start.run->Start();
    return start;
}

}  // namespace ravelmoor
