#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ravelmoor {

// The entry of the results window's "Method:" combo box; None is its blank
// first entry.
enum class SyncMethod : int32_t {
    None = 0,
    Align = 1,
    Augment = 2,
    Refresh = 3,
    Update = 4,
    UpdateAndPrune = 5,
    Force = 6,
};

inline constexpr int kSyncMethodCount = 7;

// The combo text: " " for None, "Align Source and Target", ... "Force Target".
std::string_view SyncMethodText(SyncMethod method);

// The line shown under the lists while the method is chosen.
std::string_view SyncMethodDescription(SyncMethod method);

// The view toggles that a method sets when it is chosen; None leaves them as
// they are. `unmatchedOnly` says that the view combo shows "Unmatched".
struct MethodView {
    bool matched = false;
    bool newer = false;
    bool older = false;
    bool unmatched = false;
    bool excluded = false;
    bool unmatchedOnly = false;
};
std::optional<MethodView> DefaultView(SyncMethod method);

}  // namespace ravelmoor
