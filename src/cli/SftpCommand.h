#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

// `ravelmoor sftp list | add ... | remove NAME`: the stored SFTP connections.
int RunSftpCommand(ArgumentList& args);

}  // namespace ravelmoor
