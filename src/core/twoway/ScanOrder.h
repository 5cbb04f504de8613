#pragma once

#include <string>
#include <string_view>

namespace ravelmoor {

struct FileEntry;

// The path under which the pair memory keeps an entry: its path below the
// root, with a '/' after a folder's name, so that the kind of every level is
// known from the text alone.
std::string StoredPath(const FileEntry& entry);
// The same for a path below the root and its kind.
std::string StoredPath(std::string_view relative, bool folder);
// The plain path of a stored one (the folder's '/' dropped).
std::string_view PlainPath(std::string_view stored);
bool IsStoredFolder(std::string_view stored);

// Negative, zero or positive as stored path `a` comes before, with or after
// `b` in the order in which a comparison lists its rows (names folded by case,
// a folder's files before its sub-folders, a folder's content right after it).
// Paths that fold alike are ordered by their bytes, so only equal texts
// compare equal.
int CompareStoredPaths(std::string_view a, std::string_view b);
// Whether stored paths `a` and `b` fold alike (differ in case only), so that
// the comparison lists them, and what is below them, in one place.
bool FoldAlike(std::string_view a, std::string_view b);

}  // namespace ravelmoor
