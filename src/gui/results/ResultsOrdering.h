#pragma once

#include <QObject>
#include <functional>
#include <optional>

#include "core/results/RowOrder.h"
#include "core/results/WindowPlacement.h"

namespace ravelmoor {

class VirtualReportView;

// The order of the results lists: the rows sorted by a header click, the
// columns dragged into another order; both lists always alike. It owns the
// row order and shows it as the headers' sort indicator; the window sorts
// its rows by Order() and is told through `rowOrderChanged` when it changes.
class ResultsOrdering : public QObject {
  public:
    // Makes the headers of both lists clickable and their columns movable.
    ResultsOrdering(VirtualReportView& source, VirtualReportView& target,
                    std::function<void()> rowOrderChanged);

    // A click on the header of `column` of the `side` list: that column up,
    // then down, then the path order again.
    void SortBy(ListSide side, ResultColumn column);
    // Sets the order (none: the path order) and its indicator, then tells the window.
    void SetRowOrder(const std::optional<RowOrder>& order);
    const std::optional<RowOrder>& Order() const { return rowOrder_; }

    void ApplyColumnOrder(ListSide side, const ColumnOrder& order);
    ColumnOrder CurrentColumnOrder(ListSide side) const;

  private:
    VirtualReportView& List(ListSide side) const;

    VirtualReportView& source_;
    VirtualReportView& target_;
    std::function<void()> rowOrderChanged_;
    std::optional<RowOrder> rowOrder_;  // none: the path order
};

}  // namespace ravelmoor
