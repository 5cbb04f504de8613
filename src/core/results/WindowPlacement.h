#pragma once

#include <QRect>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/results/RowOrder.h"

namespace ravelmoor {

// Where the results window was and how wide its columns were, as kept in
// the per-user store ("wnd", "wndlists", "wndlistt" in section "Settings").
namespace placement_keys {
inline constexpr const char* kWindow = "wnd";
inline constexpr const char* kSourceColumns = "wndlists";
inline constexpr const char* kTargetColumns = "wndlistt";
inline constexpr const char* kRowOrder = "wndsort";
inline constexpr const char* kColumnOrder = "wndcols";
}  // namespace placement_keys

// Show states as the "wnd" value writes them.
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMaximised = 3;

// "left,top,right,bottom,show state,flags": the window's normal rectangle
// (right and bottom just outside it), whether it was maximised, and flags
// that are kept as they were read.
struct WindowPlacement {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int showState = kShowNormal;
    int flags = 0;

    QRect Rect() const { return {left, top, right - left, bottom - top}; }
    static WindowPlacement FromRect(const QRect& rect, bool maximised);
    bool operator==(const WindowPlacement&) const = default;
};

// Nothing unless the text is six whole numbers separated by commas (blanks
// around a number are allowed) and the rectangle is not empty.
std::optional<WindowPlacement> ParsePlacement(std::string_view text);
std::string FormatPlacement(const WindowPlacement& placement);

// The widths of the Name, Size and Timestamp columns.
using ColumnWidths = std::array<int, 3>;
// Nothing unless the text is three whole numbers above 0 separated by commas.
std::optional<ColumnWidths> ParseColumnWidths(std::string_view text);
std::string FormatColumnWidths(const ColumnWidths& widths);

// "side,column,order" ("wndsort": 0/1 for Source/Target, the column
// number, 0 up or 1 down); empty for path order, which is also what a text
// that does not parse gives.
std::string FormatRowOrder(const std::optional<RowOrder>& order);
std::optional<RowOrder> ParseRowOrder(std::string_view text);

// The column at each place from left to right ("wndcols", "0,1,2,3" for the
// first order); nothing unless it names each of the four columns once.
using ColumnOrder = std::array<int, 4>;
std::optional<ColumnOrder> ParseColumnOrder(std::string_view text);
std::string FormatColumnOrder(const ColumnOrder& order);

// `rect` made to fit the screen area it overlaps most (the first one when
// it overlaps none): no wider or higher than that area, and moved inside it.
QRect ClampToScreens(const QRect& rect, const std::vector<QRect>& screens);

}  // namespace ravelmoor
