#pragma once

#include <functional>

#include "cli/CompareOptions.h"
#include "core/twoway/TwoWayPlan.h"

namespace ravelmoor {

class Comparison;
class TerminalPrompter;

// What `sync --method two-way` was asked beyond the comparison.
struct TwoWayRequest {
    ConflictPreference prefer = ConflictPreference::None;
    bool keepBoth = false;
    bool firstSync = false;
    bool preview = false;
    bool yes = false;
    bool interactive = false;
    bool allowMassDelete = false;
    bool keepReplaced = true;
    bool verify = true;
    bool noJournal = false;
};

// Plans a two-way synchronisation of the compared folders against the pair's
// memory and carries it out (or, with `preview`, prints it). `compareAgain`
// compares the folders anew, after renames, so that what moved with them is
// reconciled under the new names. Returns the exit status: 0 in sync, 1
// conflicts left (or, with preview, work to do), 2 refused or failed.
int RunTwoWaySync(const TwoWayRequest& request, const CompareRequest& compare,
                  Comparison& comparison, TerminalPrompter& prompter,
                  const std::function<bool()>& compareAgain);

// The options only two-way takes: --prefer, --conflicts, --first-sync.
std::vector<OptionRow> TwoWayOptionRows(TwoWayRequest& request);

// Parses --prefer's word.
OptionOutcome ParsePreference(const std::string& value, ConflictPreference& prefer);

}  // namespace ravelmoor
