#pragma once

#include <functional>
#include <memory>

#include "core/engine/ComparisonRun.h"
#include "core/engine/SideProvider.h"
#include "core/launch/OpenSides.h"
#include "core/settings/CompareJob.h"

namespace ravelmoor {

class Comparison;
class Prompter;

// What a launch came to: the run working on its worker thread, or the
// refusal that stopped it before anything was read.
struct ComparisonStart {
    LaunchOutcome outcome;
    std::unique_ptr<ComparisonRun> run;
    // The stored connection of each side (empty for a local side).
    SideConnection source;
    SideConnection target;
};

// The one start of a comparison for every front end: opens both sides of
// `job` (OpenSides; local folder texts are normalised in place), resets
// `comparison` with the job's rules and roots, makes a side on a server
// remote (an SFTP side treats an unknown host key as `unknownHostKey` says),
// prepares the job's filter rules and starts a run that asks through
// `prompter`. `beforeStart`, when given, sees the prepared run just before
// its worker starts. The caller waits for the run and keeps `comparison`.
ComparisonStart StartComparison(CompareJob& job, const ConnectionLookup& lookup,
                                Comparison& comparison, Prompter& prompter,
                                UnknownHostKey unknownHostKey = UnknownHostKey::Ask,
                                const std::function<void(ComparisonRun&)>& beforeStart = {});

}  // namespace ravelmoor
