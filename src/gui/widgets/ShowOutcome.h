#pragma once

#include "core/engine/Outcome.h"
#include "core/engine/Prompter.h"

namespace ravelmoor {

// Shows what an operation came to: a refusal as a warning, the confirmation
// of a success, where there is one, as a notice. True for a success.
template <class Status>
bool ShowOutcome(Prompter& prompter, const Outcome<Status>& outcome) {
    if (outcome.reason.empty()) return outcome.Ok();
    if (outcome.Ok()) {
        prompter.Notify(outcome.reason);
        return true;
    }
    prompter.Warn(outcome.reason);
    return false;
}

}  // namespace ravelmoor
