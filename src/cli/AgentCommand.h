#pragma once

#include "cli/CompareOptions.h"

namespace ravelmoor {

// `ravelmoor agent --dir D`: what the SFTP side of another ravelmoor starts
// over SSH. Speaks the agent protocol on standard input and output until
// the input ends: listings below D and checksums of its files. Not for
// people; the man page names it.
int RunAgentCommand(ArgumentList& args);

}  // namespace ravelmoor
