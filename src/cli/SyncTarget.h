#pragma once

#include <optional>

namespace ravelmoor {

class MadeFolder;
struct SyncRequest;

// A Target folder that is not there yet: with --mkpath it is made once
// Source is known to be there (a dry run says it would be), without it the
// sync is refused saying how to have it made. Returns the exit status when
// the command ends here; nothing when it goes on.
std::optional<int> PrepareTarget(const SyncRequest& request, MadeFolder& madeTarget);

}  // namespace ravelmoor
