#include "gui/results/ResultsOrdering.h"

#include <QHeaderView>

#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor {

ResultsOrdering::ResultsOrdering(VirtualReportView& source, VirtualReportView& target,
                                 std::function<void()> rowOrderChanged)
    : source_(source), target_(target), rowOrderChanged_(std::move(rowOrderChanged)) {
    for (const ListSide side : {ListSide::Source, ListSide::Target}) {
        QHeaderView* header = List(side).Header();
        header->setSectionsClickable(true);
        header->setSectionsMovable(true);
        header->setSortIndicatorShown(true);
        header->setSortIndicator(-1, Qt::AscendingOrder);
        connect(header, &QHeaderView::sectionClicked, this,
                [this, side](int column) { SortBy(side, static_cast<ResultColumn>(column)); });
        connect(header, &QHeaderView::sectionMoved, this, [this, side] {
            const ListSide other = side == ListSide::Source ? ListSide::Target : ListSide::Source;
            ApplyColumnOrder(other, CurrentColumnOrder(side));
        });
    }
}

VirtualReportView& ResultsOrdering::List(ListSide side) const {
    return side == ListSide::Source ? source_ : target_;
}

void ResultsOrdering::SortBy(ListSide side, ResultColumn column) {
    SetRowOrder(NextOrder(rowOrder_, side, column));
}

void ResultsOrdering::SetRowOrder(const std::optional<RowOrder>& order) {
    rowOrder_ = order;
    for (const ListSide side : {ListSide::Source, ListSide::Target}) {
        QHeaderView* header = List(side).Header();
        const bool shown = order && order->side == side;
        header->setSortIndicator(
            shown ? static_cast<int>(order->column) : -1,
            shown && order->descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
    rowOrderChanged_();
}

void ResultsOrdering::ApplyColumnOrder(ListSide side, const ColumnOrder& order) {
    QHeaderView* header = List(side).Header();
    for (int place = 0; place < static_cast<int>(order.size()); ++place) {
        const int from = header->visualIndex(order[static_cast<size_t>(place)]);
        if (from != place) header->moveSection(from, place);
    }
}

ColumnOrder ResultsOrdering::CurrentColumnOrder(ListSide side) const {
    const QHeaderView* header = List(side).Header();
    ColumnOrder order{};
    for (int place = 0; place < static_cast<int>(order.size()); ++place)
        order[static_cast<size_t>(place)] = header->logicalIndex(place);
    return order;
}

}  // namespace ravelmoor
