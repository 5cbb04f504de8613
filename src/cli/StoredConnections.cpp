#include "cli/StoredConnections.h"

#include "cli/ProblemDetail.h"

namespace ravelmoor {

bool SaveStore(SettingsStore& store) {
    if (store.Sync().Ok()) return true;
    Terminal::Message(
        WithSubject("Could not write", store.FileName(), WriteReason(store.FileName())));
    return false;
}

}  // namespace ravelmoor
