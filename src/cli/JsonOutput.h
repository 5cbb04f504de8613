#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/engine/ComparisonMethod.h"

namespace ravelmoor {

class Comparison;
class JsonStream;
class PlannedActions;

// `--format json`: one JSON document on standard output, written straight
// into text as it is made (a document object model costs several times the
// time and memory on 100,000 rows), and out in pieces (JsonStream).

// Appends `text` as a JSON string; a byte sequence that is not valid UTF-8
// becomes U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

// Appends `"key":` and the name as text; where its bytes are not valid UTF-8
// the text is lossy and `"key_bytes":` follows with the bytes themselves in
// base64, so that the name can be got back exactly.
void AppendName(std::string& out, std::string_view key, std::string_view bytes);

// The start of a document of `format` ("ravelmoor-compare"), left open: the
// format, its version, the two roots and the comparison method.
std::string JsonDocumentStart(const char* format, const Comparison& comparison);

// Writes the entries of a "ravelmoor-sync" document after its start: the
// method word, whether it was a dry run or was stopped, every action with its
// outcome, and their counts.
void AppendSyncActions(JsonStream& out, std::string_view method, const PlannedActions& actions,
                       bool dryRun, bool stopped);

// The word of a comparison method on the command line: size-time, crc, both.
const char* ComparisonMethodWord(ComparisonMethod method);

// Writes the finished `document` with a line end.
void WriteJson(const std::string& document, FILE* out);

}  // namespace ravelmoor
