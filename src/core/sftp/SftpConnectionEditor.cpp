#include "core/sftp/SftpConnectionEditor.h"

namespace ravelmoor {

std::string SftpConnectionEditor::Problem() {
    // The agent holds its own keys: a secret typed for another logon is not kept.
    if (fields_.logon == SftpLogon::Agent) fields_.secret.clear();
    return SftpConnectionStore::Problem(name_, fields_);
}

}  // namespace ravelmoor
