#include "results/WindowPlacement.h"

#include <algorithm>
#include <charconv>

namespace ravelmoor {
namespace {

// Enough of a window to grab it: a piece of its title bar.
constexpr int kReachableWidth = 48;
constexpr int kReachableHeight = 16;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Exactly `count` whole numbers separated by commas.
template <size_t count>
std::optional<std::array<int, count>> ParseNumbers(std::string_view text) {
    std::array<int, count> numbers{};
    for (size_t i = 0; i < count; ++i) {
        const size_t comma = text.find(',');
        const bool last = i + 1 == count;
        if (last != (comma == std::string_view::npos)) return std::nullopt;
        const std::string_view field = Trimmed(text.substr(0, comma));
        const auto [end, error] =
            std::from_chars(field.data(), field.data() + field.size(), numbers[i]);
        if (error != std::errc() || end != field.data() + field.size() || field.empty())
            return std::nullopt;
        if (!last) text.remove_prefix(comma + 1);
    }
    return numbers;
}

std::string Joined(const int* numbers, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i != 0) text += ',';
        text += std::to_string(numbers[i]);
    }
    return text;
}

}  // namespace

WindowPlacement WindowPlacement::FromRect(const QRect& rect, bool maximised) {
    WindowPlacement placement;
    placement.left = rect.left();
    placement.top = rect.top();
    placement.right = rect.left() + rect.width();
    placement.bottom = rect.top() + rect.height();
    placement.showState = maximised ? kShowMaximised : kShowNormal;
    return placement;
}

std::optional<WindowPlacement> ParsePlacement(std::string_view text) {
    const auto numbers = ParseNumbers<6>(text);
    if (!numbers) return std::nullopt;
    const auto& n = *numbers;
    // Differences of extreme numbers would overflow; no screen is that big.
    constexpr int kLimit = 1 << 24;
    for (int i = 0; i < 4; ++i) {
        if (n[i] < -kLimit || n[i] > kLimit) return std::nullopt;
    }
    if (n[2] <= n[0] || n[3] <= n[1]) return std::nullopt;
    return WindowPlacement{n[0], n[1], n[2], n[3], n[4], n[5]};
}

std::string FormatPlacement(const WindowPlacement& p) {
    const int numbers[] = {p.left, p.top, p.right, p.bottom, p.showState, p.flags};
    return Joined(numbers, 6);
}

std::optional<ColumnWidths> ParseColumnWidths(std::string_view text) {
    const auto numbers = ParseNumbers<3>(text);
    if (!numbers) return std::nullopt;
    if (std::any_of(numbers->begin(), numbers->end(), [](int width) { return width <= 0; }))
        return std::nullopt;
    return *numbers;
}

std::string FormatColumnWidths(const ColumnWidths& widths) {
    return Joined(widths.data(), widths.size());
}

bool ReachableOnScreens(const QRect& rect, const std::vector<QRect>& screens) {
    const int needWidth = std::min(kReachableWidth, rect.width());
    const int needHeight = std::min(kReachableHeight, rect.height());
    const QRect top(rect.left(), rect.top(), rect.width(), needHeight);
    return std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) {
        const QRect common = top.intersected(screen);
        return common.width() >= needWidth && common.height() >= needHeight;
    });
}

}  // namespace ravelmoor
