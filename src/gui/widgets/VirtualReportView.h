#pragma once

#include <QAbstractItemView>

class QHeaderView;

namespace ravelmoor {

// A report list over a table model that keeps nothing per row: every row is
// one line of the same height, and the view asks the model only for the rows
// it draws, so a list of a million rows costs no more to show, scroll or
// refill than one of a hundred. Columns have a header with widths the user
// can change; rows are selected whole, several at a time, and a row whose
// model flags leave out Qt::ItemIsSelectable is never selected. A cell whose
// text is cut off shows it whole as its tooltip.
class VirtualReportView : public QAbstractItemView {
    Q_OBJECT

  public:
    explicit VirtualReportView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QHeaderView* Header() const { return header_; }

    // The column that takes every change of the list's width from now on.
    void SetGrowingColumn(int column);
    // Gives the growing column the width the other columns leave.
    void FillWithGrowingColumn();
    // The same where the columns miss the list's width by `by` pixels, give
    // or take two (a scroll bar that came or went since they were set).
    void FitGrowingColumn(int by);

    int FirstVisibleRow() const;
    void ScrollToRow(int row);
    // The rows whose lines the viewport shows, at least partly.
    int VisibleRowCount() const;

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    // Selects every selectable row.
    void selectAll() override;

  signals:
    // The keyboard focus went elsewhere.
    void FocusLost(Qt::FocusReason reason);
    // The user asked for the context menu (right button, menu key or Shift+F10).
    void ContextMenuRequested(const QPoint& globalPosition);

  protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    int RowCount() const;
    // The row at viewport height `y`, which may lie outside the rows.
    int RowAtY(int y) const;
    void UpdateRowHeight();
    // Selects the selectable rows from `top` to `bottom`.
    void SelectRowRange(int top, int bottom, QItemSelectionModel::SelectionFlags flags);
    // The tooltip of a cell whose text does not fit; false when it fits.
    bool ShowCutOffText(const QPoint& position, const QPoint& globalPosition);
    // The model's own tooltip for the cell, where it gives one.
    bool ShowModelToolTip(const QPoint& position, const QPoint& globalPosition);
    void ResizeGrowingColumn(int width);

    QHeaderView* header_;
    int rowHeight_ = 20;
    int growingColumn_ = -1;
    int growingWidth_ = 0;
    bool resizingGrowing_ = false;
    bool inGeometryUpdate_ = false;
};

}  // namespace ravelmoor
