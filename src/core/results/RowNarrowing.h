#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/results/RowTree.h"

namespace ravelmoor {

class FileList;

// What narrows the shown rows beyond the view toggles: a text that the
// row's path below its root must hold (ASCII letters in either case), and a
// folder row ("show only this folder") that the rows must be or lie in.
struct RowNarrowing {
    std::string text;
    uint32_t folder = RowTree::kNoRow;

    bool Any() const { return !text.empty() || folder != RowTree::kNoRow; }
};

// Keeps the rows of `rows` that pass `narrowing`, in their order. A row's
// path is its Source entry's, or its Target entry's where Source has none.
// `tree` must have been built over the same lists when a folder is given.
void NarrowRows(const FileList& source, const FileList& target, const RowTree& tree,
                const RowNarrowing& narrowing, std::vector<uint32_t>& rows);

}  // namespace ravelmoor
