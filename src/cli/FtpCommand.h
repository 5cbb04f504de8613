#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

// `ravelmoor ftp list | add ... | remove NAME`: the stored FTP connections.
int RunFtpCommand(ArgumentList& args);

}  // namespace ravelmoor
