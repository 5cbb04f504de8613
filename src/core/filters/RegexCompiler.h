#pragma once

#include <cstdint>
#include <vector>

namespace ravelmoor::regex {

// Compiles a NUL-terminated expression into the node program of
// RegexProgram.h. The parser runs twice: a sizing pass that only counts bytes
// (and finds every error), then an emitting pass into a buffer allocated once
// at the exact size. False when the expression is not accepted or its program
// would be too large; `program` is then empty.
// `startsWithRepetition` tells whether some top-level alternative begins with
// a `*` or `+` piece (worth a must-contain test before matching).
bool CompileProgram(const char* expression, std::vector<uint8_t>& program,
                    bool& startsWithRepetition);

}  // namespace ravelmoor::regex
