#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/CompareOptions.h"
#include "core/engine/FileEntry.h"

namespace ravelmoor {

class Comparison;

// The word of a status in printed rows: matched, newer, older, unmatched, missing.
std::string_view StatusWord(EntryStatus status);

// Prints the result rows of a completed comparison to `out`: all rows with
// `showAll`, otherwise only those that are not matched.
void PrintResults(const Comparison& comparison, OutputFormat format, bool showAll, FILE* out);

}  // namespace ravelmoor
