#pragma once

#include <QJsonObject>
#include <cstdio>
#include <string_view>

#include "core/engine/ComparisonMethod.h"

namespace ravelmoor {

class FolderComparer;
class PlannedActions;

// `--format json`: one JSON document on standard output. A name is written
// as text under `key`; where its bytes are not valid UTF-8 the text is lossy
// (U+FFFD for each bad sequence) and `key` + "_bytes" carries the bytes
// themselves in base64, so that the name can be got back exactly.
void PutName(QJsonObject& object, const QString& key, std::string_view bytes);

// The start of a document of `format` ("ravelmoor-compare"): the format,
// its version, the two roots and the comparison method.
QJsonObject JsonDocumentStart(const char* format, const FolderComparer& comparer);

// The entries of a "ravelmoor-sync" document after its start: the method
// word, whether it was a dry run or was stopped, every action with its
// outcome, and their counts.
void PutSyncActions(QJsonObject& document, std::string_view method, const PlannedActions& actions,
                    bool dryRun, bool stopped);

// The word of a comparison method on the command line: size-time, crc, both.
const char* ComparisonMethodWord(ComparisonMethod method);

// Writes `document` compactly, with a line end.
void WriteJson(const QJsonObject& document, FILE* out);

}  // namespace ravelmoor
