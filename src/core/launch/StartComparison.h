#pragma once

#include <functional>
#include <memory>

#include "core/engine/ComparisonRun.h"
#include "core/engine/SideProvider.h"
#include "core/launch/CompareLaunch.h"
#include "core/settings/CompareJob.h"
#include "core/sftp/SftpSession.h"

namespace ravelmoor {

class Comparison;
class Prompter;
class SettingsStore;

// What a launch came to: the run working on its worker thread, or the
// refusal that stopped it before anything was read.
struct ComparisonStart {
    LaunchOutcome outcome;
    std::unique_ptr<ComparisonRun> run;
    // The stored connection of each side (empty for a local side).
    SideConnection source;
    SideConnection target;
};

// The lookups of the connections kept in `store`, which must outlive them.
ConnectionLookup StoredConnectionLookup(SettingsStore& store);

// The remote side the engine opens for a side the launch resolved; null for
// a local folder. An SFTP side treats a host key that is not known yet as
// `unknownHostKey` says.
std::unique_ptr<RemoteSide> MakeRemoteSide(const SideConnection& side,
                                           UnknownHostKey unknownHostKey);

// The one start of a comparison for every front end: checks both sides of
// `job` (CheckCompareSides; local folder texts are normalised in place),
// resets `comparison` with the job's rules and roots, makes a side on a server
// remote (an SFTP side treats an unknown host key as `unknownHostKey` says),
// prepares the job's filter rules and starts a run that asks through
// `prompter`. `beforeStart`, when given, sees the prepared run just before
// its worker starts. The caller waits for the run and keeps `comparison`.
ComparisonStart StartComparison(CompareJob& job, const ConnectionLookup& lookup,
                                Comparison& comparison, Prompter& prompter,
                                UnknownHostKey unknownHostKey = UnknownHostKey::Ask,
                                const std::function<void(ComparisonRun&)>& beforeStart = {});

}  // namespace ravelmoor
