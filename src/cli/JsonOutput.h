#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/engine/ComparisonMethod.h"
#include "core/engine/JsonText.h"

namespace ravelmoor {

class Comparison;
class JsonStream;
class PlannedActions;

// `--format json`: one JSON document on standard output, written straight
// into text as it is made (a document object model costs several times the
// time and memory on 100,000 rows), and out in pieces (JsonStream).

// The start of a document of `format` ("ravelmoor-compare"), left open: the
// format, its version, the two roots and the comparison method.
std::string JsonDocumentStart(const char* format, const Comparison& comparison);

// Writes the entries of a "ravelmoor-sync" document after its start:
// whether sub-folders were compared, the method word, whether it was a dry run or was
// stopped, every action (one a line) with its outcome, and their counts. A
// dry run's actions also carry the facts of both sides of their rows, from
// `comparison`, so that the document is a plan file (core/sync/PlanFile.h).
void AppendSyncActions(JsonStream& out, const Comparison& comparison, std::string_view method,
                       const PlannedActions& actions, bool dryRun, bool stopped);

// The word of a comparison method on the command line: size-time, crc, both.
const char* ComparisonMethodWord(ComparisonMethod method);

// Writes the finished `document` with a line end.
void WriteJson(const std::string& document, FILE* out);

}  // namespace ravelmoor
