#pragma once

#include <optional>

#include "core/sync/PlanSync.h"

namespace ravelmoor {

class Comparison;
class PlannedActions;
class TerminalPrompter;
struct SyncRequest;

// The plan left to carry out once it is agreed to: with --yes all of it
// (refused, and said, when most of Target would be deleted without
// --allow-mass-delete); otherwise one question for each side that changes,
// a side not confirmed keeping its actions, declined. Nothing when refused.
std::optional<SyncPlan> ConfirmSync(const SyncRequest& request, const Comparison& comparison,
                                    const SyncPlan& plan, PlannedActions& actions,
                                    TerminalPrompter& prompter);

}  // namespace ravelmoor
