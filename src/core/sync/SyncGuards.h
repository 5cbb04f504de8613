#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/engine/Outcome.h"
#include "core/sync/PlanSync.h"

namespace ravelmoor {

class Comparison;

// Whether `method` may go ahead: Refused outright, with the message that
// says so, when it would delete or replace objects in the root of the
// system, the home folder itself or a folder directly below the root
// ("/usr", "/home"): on Target for the methods that delete there, on either
// local side for "Align Source and Target".
enum class GuardStatus : uint8_t { Allowed, Refused };
Outcome<GuardStatus> CheckProtectedFolders(SyncMethod method, const Comparison& comparison);

// How many objects a plan deletes on Target against how many Target holds.
struct DeletionShare {
    size_t deleting = 0;
    size_t total = 0;
    bool sourceEmpty = false;

    // At least ten objects and more than half of Target, or everything found
    // on Target while Source is empty (an unmounted drive's mount point).
    bool IsMass() const {
        return deleting > 0 && ((deleting >= 10 && deleting * 2 > total) || sourceEmpty);
    }
};
DeletionShare CountDeletions(const Comparison& comparison, const SyncPlan& plan);

// "The synchronisation will delete 12 of 12 objects in Target "/t/". Do you
// want to go on?"
std::string MassDeletionQuestion(const DeletionShare& share, const std::string& targetRoot);

}  // namespace ravelmoor
