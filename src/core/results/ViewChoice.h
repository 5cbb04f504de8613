#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "core/sync/SyncMethod.h"

namespace ravelmoor {

// The entry of the "View:" combo box. Blank is shown when the toggles match
// no named view.
enum class ViewChoice : int {
    Blank = 0,
    All = 1,
    Matched = 2,
    Unmatched = 3,
    NewerAndOlder = 4,
    Excluded = 5,
};

inline constexpr int kViewChoiceCount = 6;

// "  ", "All", "Matched", "Unmatched", "Newer and Older", "Excluded"; English,
// marked for translation in the "ViewChoice" context.
std::string_view ViewChoiceText(ViewChoice choice);

// The toggles a named view sets; nothing for Blank, which changes nothing.
std::optional<ViewToggles> TogglesOf(ViewChoice choice);

// The named view that the toggles make, or Blank.
ViewChoice ChoiceOf(const ViewToggles& toggles);

}  // namespace ravelmoor
