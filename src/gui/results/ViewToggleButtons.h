#pragma once

#include <array>

class QToolButton;
class QWidget;

namespace ravelmoor {

// The five view toggles, in the order of the window.
enum class ViewToggle : int { Matched = 0, Unmatched, Newer, Older, Excluded };
inline constexpr int kViewToggleCount = 5;

// The results window's view toggles, made checkable and unchecked, each with
// its text, tooltip and an icon that is grey while off and coloured on the
// selection colour while on. The texts are the window's own (translated in
// its context).
std::array<QToolButton*, kViewToggleCount> MakeViewToggleButtons(QWidget* parent);

}  // namespace ravelmoor
