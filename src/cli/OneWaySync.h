#pragma once

#include "core/sync/PlanSync.h"

namespace ravelmoor {

class Comparison;
class MadeFolder;
class SyncLog;
class TerminalPrompter;
struct SyncRequest;

// Said when the comparison left rows out (unreadable, or clashing by case).
inline constexpr const char* kLeftOutMessage =
    "The objects that could not be read (named above) were left out: the folders are not known "
    "to agree.";

// Carries out `plan` over the rows of `comparison` as `request` says: a plan
// with nothing to do said, a dry run printed, or confirmed and run, with the
// log kept and what was done written out. `madeTarget` is kept once the sync
// goes on; `leftOut`: the comparison left rows out, so the folders can not
// end in agreement. Returns the exit status.
int RunOneWaySync(const SyncRequest& request, Comparison& comparison, const SyncPlan& plan,
                  TerminalPrompter& prompter, SyncLog& log, MadeFolder& madeTarget, bool leftOut);

}  // namespace ravelmoor
