#pragma once

namespace ravelmoor {

// The command-line front end: dispatches the sub-command named in argv[1].
int RunCommandLine(int argc, char** argv);

}  // namespace ravelmoor
