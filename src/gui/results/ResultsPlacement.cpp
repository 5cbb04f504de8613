#include "gui/results/ResultsPlacement.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "core/text/Formatting.h"
#include "gui/results/ResultsOrdering.h"
#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor {
namespace {

// The widths a new installation starts with; wider where this system's font
// needs more room than the numbers of the original layout.
constexpr int kNameWidth = 125;
constexpr int kSizeWidth = 75;
constexpr int kTimestampWidth = 110;

// A timestamp with two-digit fields everywhere, for the widest text.
constexpr int64_t kWideTimestamp = 1704067199;  // 2023-12-31 23:59:59 UTC

int TextWidth(const VirtualReportView& list, const QString& text) {
    constexpr int kCellMargins = 16;
    return list.fontMetrics().horizontalAdvance(text) + kCellMargins;
}

std::vector<QRect> ScreenAreas() {
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(screen->availableGeometry());
    return areas;
}

}  // namespace

ResultsPlacement::ResultsPlacement(QWidget& window, VirtualReportView& source,
                                   VirtualReportView& target, ResultsOrdering& ordering,
                                   SettingsStore& store)
    : window_(window), source_(source), target_(target), ordering_(ordering), store_(store) {}

VirtualReportView& ResultsPlacement::List(ListSide side) const {
    return side == ListSide::Source ? source_ : target_;
}

void ResultsPlacement::ApplyDefaultColumnWidths() {
    for (const ListSide side : {ListSide::Source, ListSide::Target}) {
        const VirtualReportView& list = List(side);
        QHeaderView* header = list.Header();
        // The header's text and the icons, without room for a sort mark that
        // only a sort by status shows: the room goes to Name.
        const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin) + 2;
        const int title = header->fontMetrics().horizontalAdvance(
                              header->model()->headerData(0, Qt::Horizontal).toString()) +
                          margins;
        header->resizeSection(static_cast<int>(ResultColumn::Status),
                              std::max(title, list.iconSize().width() + 16));
        const ColumnWidths widths = {
            kNameWidth,
            std::max(kSizeWidth, TextWidth(list, QString::fromStdString(FormatSize(4294967296)))),
            std::max(kTimestampWidth,
                     TextWidth(list, QString::fromStdString(FormatTimestamp(kWideTimestamp)))),
        };
        ApplyColumnWidths(side, widths);
    }
}

void ResultsPlacement::ApplyColumnWidths(ListSide side, const ColumnWidths& widths) {
    QHeaderView* header = List(side).Header();
    for (int i = 0; i < 3; ++i)
        header->resizeSection(i + 1, widths[static_cast<size_t>(i)]);
}

ColumnWidths ResultsPlacement::CurrentColumnWidths(ListSide side) const {
    const QHeaderView* header = List(side).Header();
    return {header->sectionSize(1), header->sectionSize(2), header->sectionSize(3)};
}

void ResultsPlacement::Restore() {
    const SettingsStore& store = store_;
    const std::string saved =
        store.ReadString(settings_keys::kSection, placement_keys::kWindow, "");
    const std::optional<WindowPlacement> placement = ParsePlacement(saved);
    // Kept in device-independent pixels; a screen now smaller (a higher
    // scale, another monitor) gets the window made to fit inside it.
    const bool usable = placement.has_value();
    if (usable) {
        window_.setGeometry(ClampToScreens(placement->Rect(), ScreenAreas()));
        restoredNormalGeometry_ = window_.geometry();
        if (placement->showState == kShowMaximised) window_.setWindowState(Qt::WindowMaximized);
    } else {
        // The whole width of the desktop, centred from top to bottom.
        const QScreen* screen = window_.parentWidget() != nullptr
                                    ? window_.parentWidget()->screen()
                                    : QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            const QRect desktop = screen->availableGeometry();
            const int height = std::min(window_.height(), desktop.height());
            window_.setGeometry(desktop.left(), desktop.top() + (desktop.height() - height) / 2,
                                desktop.width(), height);
        }
    }
    // The orders are kept apart from the rest; a bad one is the first order.
    const std::optional<ColumnOrder> columns = ParseColumnOrder(
        store.ReadString(settings_keys::kSection, placement_keys::kColumnOrder, ""));
    for (const ListSide side : {ListSide::Source, ListSide::Target})
        ordering_.ApplyColumnOrder(side, columns.value_or(ColumnOrder{0, 1, 2, 3}));
    ordering_.SetRowOrder(
        ParseRowOrder(store.ReadString(settings_keys::kSection, placement_keys::kRowOrder, "")));
    // Widths only once a placement has been saved, whatever became of it.
    if (saved.empty()) return;
    std::array<ColumnWidths, 2> applied = {CurrentColumnWidths(ListSide::Source),
                                           CurrentColumnWidths(ListSide::Target)};
    const char* keys[] = {placement_keys::kSourceColumns, placement_keys::kTargetColumns};
    for (const ListSide side : {ListSide::Source, ListSide::Target}) {
        const size_t i = side == ListSide::Source ? 0 : 1;
        if (const auto widths =
                ParseColumnWidths(store.ReadString(settings_keys::kSection, keys[i], ""))) {
            ApplyColumnWidths(side, *widths);
            applied[i] = *widths;
            widthsSaved_ = true;
        }
    }
    // The lists grow when the window is maximised; the saved widths are
    // those of the maximised window already.
    if (usable && placement->showState == kShowMaximised) widthsAfterMaximise_ = applied;
}

void ResultsPlacement::AfterResize() {
    if (widthsAfterMaximise_ && window_.isMaximized()) {
        ApplyColumnWidths(ListSide::Source, (*widthsAfterMaximise_)[0]);
        ApplyColumnWidths(ListSide::Target, (*widthsAfterMaximise_)[1]);
        widthsAfterMaximise_.reset();
    }
}

void ResultsPlacement::Save() {
    const bool maximised = window_.isMaximized();
    QRect normal = maximised ? window_.normalGeometry() : window_.geometry();
    if (normal.isEmpty()) normal = restoredNormalGeometry_;
    if (normal.isEmpty()) return;
    SettingsStore& store = store_;
    store.WriteString(settings_keys::kSection, placement_keys::kWindow,
                      FormatPlacement(WindowPlacement::FromRect(normal, maximised)));
    store.WriteString(settings_keys::kSection, placement_keys::kSourceColumns,
                      FormatColumnWidths(CurrentColumnWidths(ListSide::Source)));
    store.WriteString(settings_keys::kSection, placement_keys::kTargetColumns,
                      FormatColumnWidths(CurrentColumnWidths(ListSide::Target)));
    store.WriteString(settings_keys::kSection, placement_keys::kRowOrder,
                      FormatRowOrder(ordering_.Order()));
    store.WriteString(settings_keys::kSection, placement_keys::kColumnOrder,
                      FormatColumnOrder(ordering_.CurrentColumnOrder(ListSide::Source)));
    store.Sync();
}

}  // namespace ravelmoor
