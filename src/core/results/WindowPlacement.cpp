#include "core/results/WindowPlacement.h"

#include <algorithm>
#include <charconv>

namespace ravelmoor {
namespace {

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

std::string FormatRowOrder(const std::optional<RowOrder>& order) {
    if (!order) return {};
    const int numbers[] = {order->side == ListSide::Source ? 0 : 1, static_cast<int>(order->column),
                           order->descending ? 1 : 0};
    return Joined(numbers, 3);
}

std::optional<RowOrder> ParseRowOrder(std::string_view text) {
    const auto numbers = ParseNumbers<3>(text);
    if (!numbers) return std::nullopt;
    const auto& n = *numbers;
    if (n[0] < 0 || n[0] > 1 || n[1] < 0 || n[1] >= kResultColumnCount || n[2] < 0 || n[2] > 1)
        return std::nullopt;
    return RowOrder{n[0] == 0 ? ListSide::Source : ListSide::Target,
                    static_cast<ResultColumn>(n[1]), n[2] == 1};
}

std::optional<ColumnOrder> ParseColumnOrder(std::string_view text) {
    const auto numbers = ParseNumbers<4>(text);
    if (!numbers) return std::nullopt;
    ColumnOrder sorted = *numbers;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != ColumnOrder{0, 1, 2, 3}) return std::nullopt;
    return *numbers;
}

std::string FormatColumnOrder(const ColumnOrder& order) {
    return Joined(order.data(), order.size());
}

QRect ClampToScreens(const QRect& rect, const std::vector<QRect>& screens) {
    if (screens.empty()) return rect;
    const QRect* best = &screens.front();
    int64_t bestArea = -1;
    for (const QRect& screen : screens) {
        const QRect common = rect.intersected(screen);
        const int64_t area = common.isEmpty() ? 0 : int64_t{common.width()} * common.height();
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    const int width = std::min(rect.width(), best->width());
    const int height = std::min(rect.height(), best->height());
    const int left = std::clamp(rect.left(), best->left(), best->left() + best->width() - width);
    const int top = std::clamp(rect.top(), best->top(), best->top() + best->height() - height);
    return {left, top, width, height};
}

}  // namespace ravelmoor
