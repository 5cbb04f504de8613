#pragma once

namespace ravelmoor {

// The exit statuses of `sync` and `undo`.
inline constexpr int kDone = 0;    // carried out, or nothing to do
inline constexpr int kPartly = 1;  // some objects not done; with --dry-run: there is work
inline constexpr int kFailed = 2;  // error, refused or cancelled

}  // namespace ravelmoor
