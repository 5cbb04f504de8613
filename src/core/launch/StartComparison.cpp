#include "core/launch/StartComparison.h"

#include "core/engine/Comparison.h"
#include "core/filters/FilterSet.h"

namespace ravelmoor {

ComparisonStart StartComparison(CompareJob& job, const ConnectionLookup& lookup,
                                Comparison& comparison, Prompter& prompter,
                                UnknownHostKey unknownHostKey,
                                const std::function<void(ComparisonRun&)>& beforeStart) {
    ComparisonStart start;
    OpenedSides sides = OpenSides(job.sourceFolder, job.targetFolder, lookup, unknownHostKey);
    start.outcome = sides.outcome;
    start.source = sides.sourceConnection;
    start.target = sides.targetConnection;
    if (!start.outcome.Ok()) return start;

    comparison.Reset(job.Rules(), sides.sourceRoot, sides.targetRoot);
    sides.MoveInto(comparison.Sides());
    start.run = std::make_unique<ComparisonRun>(comparison, prompter);
    auto filter = std::make_shared<FilterSet>();
    filter->Prepare(job.filterRules);
    start.run->SetFilter(std::move(filter));
    if (beforeStart) beforeStart(*start.run);
    start.run->Start();
    return start;
}

}  // namespace ravelmoor
