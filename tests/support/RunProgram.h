#pragma once

#include <map>
#include <string>
#include <vector>

namespace ravelmoor::test {

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built `ravelmoor` executable (its path comes from the environment
// variable RAVELMOOR_BINARY, which CTest sets) with `args`, waits for it and
// returns its exit status and output. `environment` adds variables.
ProgramResult RunRavelmoor(const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& environment = {},
                           const std::string& input = {});

}  // namespace ravelmoor::test
