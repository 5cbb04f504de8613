#pragma once

#include <string_view>

#include "cli/PlanPrinter.h"

namespace ravelmoor {

class Comparison;
class PlannedActions;
class SyncLog;
struct SyncEnd;
struct SyncRequest;

// What `sync` writes about a plan that was made, declined or carried out, in
// the format asked for: the JSON document, the dry run's lines and summary,
// the message of a plan with nothing to do, and what was done.
class SyncReport {
  public:
    SyncReport(const SyncRequest& request, const Comparison& comparison,
               const PlannedActions& actions)
        : request_(request), comparison_(comparison), actions_(actions) {}

    // The JSON document, with --format json (and not --quiet).
    void Json(bool dryRun, bool stopped, std::string_view message) const;
    // A plan with nothing to do: why, into the log and out.
    void NothingToDo(std::string_view problem, SyncLog& log) const;
    // --dry-run: every action into the log, then out with the summary.
    void DryRun(SyncLog& log) const;
    // A synchronisation that ran: the journal's troubles, what was done and
    // the summary.
    void Done(const SyncEnd& end) const;

    PlanWording Wording() const;

  private:
    const SyncRequest& request_;
    const Comparison& comparison_;
    const PlannedActions& actions_;
};

}  // namespace ravelmoor
