#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/CompareOptions.h"
#include "cli/TwoWaySync.h"
#include "core/sync/PlanFile.h"
#include "core/sync/SyncMethod.h"
#include "core/sync/SyncSides.h"

namespace ravelmoor {

class Comparison;

// What `ravelmoor sync` was asked to do: the comparison, the method, how to
// confirm and carry it out, and, with --plan, the plan file read.
struct SyncRequest {
    CompareRequest compare;
    SyncMethod method = SyncMethod::None;
    bool preview = false;
    bool yes = false;
    bool interactive = false;
    std::string logPath;
    bool allowMassDelete = false;
    bool keepReplaced = true;
    bool deletePermanently = false;
    int versionDays = -1;  // --keep-versions; below 0: as the settings say
    bool noJournal = false;
    bool verify = true;
    bool makeTarget = false;  // --mkpath
    std::string planPath;     // --plan: the actions to run, from a file
    PlanFileContent planFile;
    TwoWayRequest twoWay;

    // What a server side keeps of what is replaced or deleted there.
    VersionKeeping Keeping() const;
    // Where what is replaced or deleted on `side` goes.
    KeptIn SideKeeps(const Comparison& comparison, ListSide side) const;
};

// Reads the sync's options (printing the help when asked) and checks them:
// a method, two folders, a terminal or --yes, a plan file that can be used.
// Returns the exit status when the command ends here; nothing when it goes on.
std::optional<int> ReadSyncRequest(ArgumentList& args, SyncRequest& request);

// The word of `method` on the command line ("update-prune"); "none".
std::string_view SyncMethodWord(SyncMethod method);

}  // namespace ravelmoor
