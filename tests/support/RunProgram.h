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
// returns its exit status and output. `environment` adds variables. With
// `outputFile`, standard output goes to that file ("/dev/full") instead.
ProgramResult RunRavelmoor(const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& environment = {},
                           const std::string& input = {}, const std::string& outputFile = {});

// Runs `ravelmoor` as RunRavelmoor does, but so that file permissions bind
// it: run by root, it is started without the capabilities that let root read
// and write past them. False in `bound` where that can not be done here.
ProgramResult RunRavelmoorBoundByPermissions(const std::vector<std::string>& args,
                                             const std::map<std::string, std::string>& environment,
                                             bool& bound);

// Whether a pseudo-terminal can be opened here (a root without /dev/pts
// mounted has none); tests that need one skip without it.
bool CanOpenTerminal();

// Runs `ravelmoor` on a terminal of its own (a pseudo-terminal `columns`
// wide), types `input` and then an end of input, and returns its exit
// status and everything the terminal showed in `out` (standard output and
// standard error mixed, the typed input echoed, lines ending in "\r\n").
ProgramResult RunRavelmoorOnTerminal(const std::vector<std::string>& args, const std::string& input,
                                     const std::map<std::string, std::string>& environment = {},
                                     unsigned short columns = 80);

}  // namespace ravelmoor::test
