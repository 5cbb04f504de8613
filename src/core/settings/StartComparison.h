#pragma once

#include <functional>
#include <memory>

#include "core/engine/ComparisonRun.h"
#include "core/ftp/FtpConnection.h"
#include "core/settings/CompareJob.h"
#include "core/settings/CompareLaunch.h"

namespace ravelmoor {

class Comparison;
class Prompter;

// What a launch came to: the run working on its worker thread, or the
// refusal that stopped it before anything was read.
struct ComparisonStart {
    LaunchOutcome outcome;
    std::unique_ptr<ComparisonRun> run;
    // The FTP connection of each side (empty for a local side).
    FtpConnection sourceFtp;
    FtpConnection targetFtp;
};

// The one start of a comparison for every front end: checks both sides of
// `job` (CheckCompareSides; local folder texts are normalised in place),
// resets `comparison` with the job's rules and roots, opens an FTP side,
// prepares the job's filter rules and starts a run that asks through
// `prompter`. `beforeStart`, when given, sees the prepared run just before
// its worker starts. The caller waits for the run and keeps `comparison`.
ComparisonStart StartComparison(CompareJob& job, const ConnectionLookup& lookup,
                                Comparison& comparison, Prompter& prompter,
                                const std::function<void(ComparisonRun&)>& beforeStart = {});

}  // namespace ravelmoor
