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
    TwoWay = 7,
};

inline constexpr int kSyncMethodCount = 8;

// The combo text: " " for None, "Align Source and Target", ... "Force Target".
// Both texts are English, marked for translation in the "SyncMethod" context;
// the desktop program shows them through Translated("SyncMethod", ...).
std::string_view SyncMethodText(SyncMethod method);

// The line shown under the lists while the method is chosen.
std::string_view SyncMethodDescription(SyncMethod method);

// Which statuses the results lists show: the five view toggles.
struct ViewToggles {
    bool matched = true;
    bool newer = true;
    bool older = true;
    bool unmatched = true;
    bool excluded = true;

    // Every toggle off, for a view that turns on the ones it names.
    static constexpr ViewToggles Off() {
        return {.matched = false,
                .newer = false,
                .older = false,
                .unmatched = false,
                .excluded = false};
    }

    bool operator==(const ViewToggles&) const = default;
};

// The view toggles that a method sets when it is chosen; nothing for None,
// which leaves them as they are.
std::optional<ViewToggles> DefaultView(SyncMethod method);

}  // namespace ravelmoor
