#pragma once

#include <string>

namespace ravelmoor {

// Splits a server text ("host", "host:port", "[v6-address]:port", a bare v6
// address, with or without "ftp://") into its host (a v6 address in
// brackets) and port ("21" when none is given). False with `problem` saying
// why when it cannot be used.
bool SplitServer(std::string server, std::string& host, std::string& port, std::string& problem);

}  // namespace ravelmoor
