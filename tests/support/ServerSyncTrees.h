#pragma once

#include <map>
#include <string>

#include "support/TempTree.h"

namespace ravelmoor::test {

// Every object below a tree: "folder", or "CONTENT @SECONDS" (a server keeps
// whole seconds), by relative path. A temporary file left behind shows as an
// object of its own.
using ServerTreeState = std::map<std::string, std::string>;
ServerTreeState ServerSnapshot(const TempTree& tree);
// The same for any folder on disk.
ServerTreeState ServerSnapshot(const std::string& folder);

// Both sides of every pairing a method decides on: a newer and an older
// file, files and nested folders on one side only, and an equal file.
void WriteServerSyncSides(TempTree& source, TempTree& target);

// What the two trees WriteServerSyncSides made hold after a sync by "force"
// (Target becomes Source) or "align" (both get the union, the newer file
// winning each pair), computed by hand from their states before.
void ExpectedAfterSync(const std::string& method, const ServerTreeState& source,
                       const ServerTreeState& target, ServerTreeState& sourceAfter,
                       ServerTreeState& targetAfter);

}  // namespace ravelmoor::test
