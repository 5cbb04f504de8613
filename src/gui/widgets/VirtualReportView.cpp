#include "gui/widgets/VirtualReportView.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cstdlib>

namespace ravelmoor {
namespace {

// Enough for a short name; a list narrower than that scrolls sideways.
constexpr int kSmallestGrowingWidth = 80;
constexpr int kRowPadding = 4;
constexpr int kHorizontalStep = 20;

}  // namespace

VirtualReportView::VirtualReportView(QWidget* parent)
    : QAbstractItemView(parent), header_(new QHeaderView(Qt::Horizontal, this)) {
    header_->setSectionsClickable(false);
    header_->setSectionsMovable(false);
    header_->setHighlightSections(false);
    header_->setStretchLastSection(false);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    setIconSize(QSize(16, 16));
    connect(header_, &QHeaderView::sectionResized, this, [this](int section, int, int width) {
        // The user's own width is where growing goes on from.
        if (section == growingColumn_ && !resizingGrowing_) growingWidth_ = width;
        updateGeometries();
        viewport()->update();
    });
    // A dragged column is drawn in its new place at once, not at the next repaint.
    connect(header_, &QHeaderView::sectionMoved, viewport(), qOverload<>(&QWidget::update));
    UpdateRowHeight();
}

void VirtualReportView::setModel(QAbstractItemModel* model) {
    QAbstractItemView::setModel(model);
    header_->setModel(model);
}

int VirtualReportView::RowCount() const {
    return model() != nullptr ? model()->rowCount(rootIndex()) : 0;
}

void VirtualReportView::UpdateRowHeight() {
    rowHeight_ = std::max(fontMetrics().height(), iconSize().height()) + kRowPadding;
}

int VirtualReportView::FirstVisibleRow() const {
    return verticalScrollBar()->value();
}

void VirtualReportView::ScrollToRow(int row) {
    verticalScrollBar()->setValue(row);
}

int VirtualReportView::VisibleRowCount() const {
    const int lines = (viewport()->height() + rowHeight_ - 1) / rowHeight_;
    return std::max(0, std::min(lines, RowCount() - FirstVisibleRow()));
}

int VirtualReportView::RowAtY(int y) const {
    // Rounds down for heights above the viewport too.
    const int line = y >= 0 ? y / rowHeight_ : -((-y + rowHeight_ - 1) / rowHeight_);
    return FirstVisibleRow() + line;
}

QRect VirtualReportView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != model()) return {};
    const int x = header_->sectionViewportPosition(index.column());
    const int y = (index.row() - FirstVisibleRow()) * rowHeight_;
    return {x, y, header_->sectionSize(index.column()), rowHeight_};
}

void VirtualReportView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    const int row = index.row();
    const int first = FirstVisibleRow();
    const int whole = std::max(1, viewport()->height() / rowHeight_);
    switch (hint) {
        case EnsureVisible:
            if (row < first) {
                ScrollToRow(row);
            } else if (row >= first + whole) {
                ScrollToRow(row - whole + 1);
            }
            break;
        case PositionAtTop:
            ScrollToRow(row);
            break;
        case PositionAtBottom:
            ScrollToRow(row - whole + 1);
            break;
        case PositionAtCenter:
            ScrollToRow(row - whole / 2);
            break;
    }
}

QModelIndex VirtualReportView::indexAt(const QPoint& point) const {
    if (model() == nullptr || point.y() < 0) return {};
    const int row = RowAtY(point.y());
    const int column = header_->logicalIndexAt(point.x());
    if (row >= RowCount() || column < 0) return {};
    return model()->index(row, column, rootIndex());
}

QModelIndex VirtualReportView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = RowCount();
    if (rows == 0) return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return model()->index(0, 0, rootIndex());
    const int page = std::max(1, viewport()->height() / rowHeight_ - 1);
    int row = current.row();
    switch (action) {
        case MoveUp:
        case MovePrevious:
            --row;
            break;
        case MoveDown:
        case MoveNext:
            ++row;
            break;
        case MovePageUp:
            row -= page;
            break;
        case MovePageDown:
            row += page;
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = rows - 1;
            break;
        case MoveLeft:
        case MoveRight:
            break;
    }
    return model()->index(std::clamp(row, 0, rows - 1), current.column(), rootIndex());
}

int VirtualReportView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}

int VirtualReportView::verticalOffset() const {
    return FirstVisibleRow() * rowHeight_;
}

bool VirtualReportView::isIndexHidden(const QModelIndex&) const {
    return false;
}

void VirtualReportView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    const QRect area = rect.normalized();
    SelectRowRange(std::max(0, RowAtY(area.top())), std::min(RowCount() - 1, RowAtY(area.bottom())),
                   flags);
}

void VirtualReportView::selectAll() {
    if (selectionMode() == ExtendedSelection || selectionMode() == MultiSelection)
        SelectRowRange(0, RowCount() - 1, QItemSelectionModel::ClearAndSelect);
}

void VirtualReportView::SelectRowRange(int top, int bottom,
                                       QItemSelectionModel::SelectionFlags flags) {
    if (model() == nullptr || selectionModel() == nullptr) return;
    const int lastColumn = model()->columnCount(rootIndex()) - 1;
    // Only the selectable rows, as runs, so a refused row stays out.
    QItemSelection selection;
    int runStart = -1;
    for (int row = top; row <= bottom + 1; ++row) {
        const bool selectable =
            row <= bottom &&
            (model()->flags(model()->index(row, 0, rootIndex())) & Qt::ItemIsSelectable);
        if (selectable && runStart < 0) runStart = row;
        if (!selectable && runStart >= 0) {
            selection.append(QItemSelectionRange(model()->index(runStart, 0, rootIndex()),
                                                 model()->index(row - 1, lastColumn, rootIndex())));
            runStart = -1;
        }
    }
    selectionModel()->select(selection, flags);
}

QRegion VirtualReportView::visualRegionForSelection(const QItemSelection& selection) const {
    const int first = FirstVisibleRow();
    const int last = first + VisibleRowCount();
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top > bottom) continue;
        region += QRect(0, (top - first) * rowHeight_, viewport()->width(),
                        (bottom - top + 1) * rowHeight_);
    }
    return region;
}

void VirtualReportView::updateGeometries() {
    if (inGeometryUpdate_) return;
    inGeometryUpdate_ = true;
    const int headerHeight = header_->isHidden() ? 0 : header_->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);

    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(kHorizontalStep);
    horizontal->setPageStep(area.width());
    horizontal->setRange(0, std::max(0, header_->length() - area.width()));
    header_->setOffset(horizontal->value());

    QScrollBar* vertical = verticalScrollBar();
    const int whole = std::max(1, area.height() / rowHeight_);
    vertical->setSingleStep(1);
    vertical->setPageStep(whole);
    vertical->setRange(0, std::max(0, RowCount() - whole));
    inGeometryUpdate_ = false;
    QAbstractItemView::updateGeometries();
}

void VirtualReportView::scrollContentsBy(int dx, int dy) {
    if (dx != 0) header_->setOffset(horizontalScrollBar()->value());
    viewport()->scroll(dx, dy * rowHeight_);
}

bool VirtualReportView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (!ShowModelToolTip(help->pos(), help->globalPos()) &&
            !ShowCutOffText(help->pos(), help->globalPos())) {
            QToolTip::hideText();
        }
        return true;
    }
    return QAbstractItemView::viewportEvent(event);
}

bool VirtualReportView::ShowModelToolTip(const QPoint& position, const QPoint& globalPosition) {
    const QModelIndex index = indexAt(position);
    if (!index.isValid()) return false;
    const QString text = index.data(Qt::ToolTipRole).toString();
    if (text.isEmpty()) return false;
    QToolTip::showText(globalPosition, text, viewport(), visualRect(index));
    return true;
}

bool VirtualReportView::ShowCutOffText(const QPoint& position, const QPoint& globalPosition) {
    const QModelIndex index = indexAt(position);
    if (!index.isValid()) return false;
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    const QSize needed = itemDelegateForIndex(index)->sizeHint(option, index);
    if (needed.width() <= option.rect.width()) return false;
    QToolTip::showText(globalPosition, text, viewport(), option.rect);
    return true;
}

void VirtualReportView::paintEvent(QPaintEvent* event) {
    if (model() == nullptr) return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QRect dirty = event->rect();
    const int first = FirstVisibleRow();
    const int rows = VisibleRowCount();
    const int columns = header_->count();
    const QModelIndex current = currentIndex();
    const bool enabled = isEnabled();
    const bool active = isActiveWindow();
    for (int line = 0; line < rows; ++line) {
        const int row = first + line;
        const int y = line * rowHeight_;
        if (y > dirty.bottom() || y + rowHeight_ <= dirty.top()) continue;
        for (int visual = 0; visual < columns; ++visual) {
            const int column = header_->logicalIndex(visual);
            if (header_->isSectionHidden(column)) continue;
            const QModelIndex index = model()->index(row, column, rootIndex());
            QStyleOptionViewItem cell = option;
            cell.rect = QRect(header_->sectionViewportPosition(column), y,
                              header_->sectionSize(column), rowHeight_);
            if (!cell.rect.intersects(dirty)) continue;
            cell.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
            if (enabled) cell.state |= QStyle::State_Enabled;
            if (active) cell.state |= QStyle::State_Active;
            if (selectionModel() != nullptr && selectionModel()->isSelected(index))
                cell.state |= QStyle::State_Selected;
            itemDelegateForIndex(index)->paint(&painter, cell, index);
        }
        // The selection covers the whole line, also right of the last column.
        const int end = header_->length() - horizontalOffset();
        if (end < viewport()->width() && dirty.right() >= end && selectionModel() != nullptr &&
            selectionModel()->isRowSelected(row, rootIndex())) {
            QStyleOptionViewItem rest = option;
            rest.rect = QRect(end, y, viewport()->width() - end, rowHeight_);
            rest.state |= QStyle::State_Selected;
            if (enabled) rest.state |= QStyle::State_Enabled;
            if (active) rest.state |= QStyle::State_Active;
            style()->drawPrimitive(QStyle::PE_PanelItemViewItem, &rest, &painter, this);
        }
        if (row == current.row() && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = QRect(
                -horizontalOffset(), y,
                std::max(header_->length(), viewport()->width() + horizontalOffset()), rowHeight_);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void VirtualReportView::resizeEvent(QResizeEvent* event) {
    QAbstractItemView::resizeEvent(event);
    if (growingColumn_ < 0 || !event->oldSize().isValid()) return;
    const int change = event->size().width() - event->oldSize().width();
    if (change == 0 || growingColumn_ >= header_->count()) return;
    // The width it would have without its least width, so that shrinking
    // below it and growing back ends where it began.
    growingWidth_ += change;
    ResizeGrowingColumn(std::max(kSmallestGrowingWidth, growingWidth_));
}

void VirtualReportView::SetGrowingColumn(int column) {
    growingColumn_ = column;
    if (column >= 0 && column < header_->count()) growingWidth_ = header_->sectionSize(column);
}

void VirtualReportView::FillWithGrowingColumn() {
    if (growingColumn_ < 0 || growingColumn_ >= header_->count()) return;
    const int others = header_->length() - header_->sectionSize(growingColumn_);
    growingWidth_ = viewport()->width() - others;
    ResizeGrowingColumn(std::max(kSmallestGrowingWidth, growingWidth_));
}

void VirtualReportView::FitGrowingColumn(int by) {
    constexpr int kSlack = 2;
    if (growingColumn_ < 0 || growingColumn_ >= header_->count()) return;
    const int excess = header_->length() - viewport()->width();
    if (std::abs(std::abs(excess) - by) > kSlack) return;
    growingWidth_ = header_->sectionSize(growingColumn_) - excess;
    ResizeGrowingColumn(std::max(kSmallestGrowingWidth, growingWidth_));
}

void VirtualReportView::ResizeGrowingColumn(int width) {
    resizingGrowing_ = true;
    header_->resizeSection(growingColumn_, width);
    resizingGrowing_ = false;
}

void VirtualReportView::focusOutEvent(QFocusEvent* event) {
    QAbstractItemView::focusOutEvent(event);
    emit FocusLost(event->reason());
}

void VirtualReportView::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuRequested(event->globalPos());
}

void VirtualReportView::keyPressEvent(QKeyEvent* event) {
    // Shift+F10 is the menu key of keyboards without one: the menu opens at
    // the current row, as the menu key opens it.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QModelIndex current = currentIndex();
        QPoint at(viewport()->width() / 4, 0);
        if (current.isValid()) at.setY(visualRect(current).center().y());
        emit ContextMenuRequested(viewport()->mapToGlobal(at));
        event->accept();
        return;
    }
    QAbstractItemView::keyPressEvent(event);
}

void VirtualReportView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        UpdateRowHeight();
        updateGeometries();
    }
    QAbstractItemView::changeEvent(event);
}

}  // namespace ravelmoor
