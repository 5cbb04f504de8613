#pragma once

#include <string>
#include <string_view>

namespace ravelmoor {

// Shell globs for the command line, turned into the program's own
// expressions (Regex.h), so that a rule made from a glob is stored, shown and
// matched like any other rule.
//
// A glob is matched against the whole path below the root, case-folded as
// the comparison folds paths (CaseFold.h):
//   *        any run of characters within one name (never a '/')
//   ?        one character other than '/'
//   [abc]    one of the characters, [a-z] a range, [!abc] or [^abc] none
//            of them ('/' never)
//   **       any run of characters, '/' included; "**/" is any number of
//            folders, none too
//   \c       the character c itself
// A glob without a '/' matches a name at any depth ("*.tmp" is every name
// ending in .tmp); a glob with a '/' in it is tied to the root
// ("docs/*.txt"), as is one starting with '/'. A trailing '/' is dropped:
// a rule on a folder covers its content anyway (FilterSet).
//
// Returns the expression; it may still not compile (more than nine "**/"
// or an expression over the engine's size), which the caller checks as it
// checks any expression.
std::string GlobToExpression(std::string_view glob);

// The glob of exactly the object at `path` below the root (and, for a
// folder, its content): tied to the root, every glob character escaped.
std::string LiteralGlob(std::string_view path);

// True when `expression` does not compile as an expression but reads as a
// glob that does ("*.tmp"): the user meant a glob.
bool LooksLikeGlob(const std::string& expression);

// The first character of `expression` that can never match a path because
// paths are compared case-folded ("R" in "README"): a literal outside a set
// whose folded form differs from itself. Empty when there is none.
std::string CharacterThatNeverMatches(std::string_view expression);

}  // namespace ravelmoor
