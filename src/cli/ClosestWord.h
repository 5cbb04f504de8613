#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ravelmoor {

// The candidate a mistyped `word` most likely meant: the one fewest edits
// away (insert, delete, replace or swap two neighbours), when that is at most
// a third of the word's length (at least one edit). Empty when none is close.
std::string ClosestWord(std::string_view word, const std::vector<std::string>& candidates);

// " (did you mean X?)" for the closest candidate, or an empty text.
std::string DidYouMean(std::string_view word, const std::vector<std::string>& candidates);

}  // namespace ravelmoor
