#pragma once

#include <QStyledItemDelegate>

namespace ravelmoor {

// Draws the Name cells of the results lists as a tree: the text moved in by
// the row's depth, after the open or closed mark of a folder. The model
// gives the depth (kDepthRole) and the mark (kBranchRole); a cell without a
// depth is drawn as a plain cell.
class TreeNameDelegate : public QStyledItemDelegate {
  public:
    static constexpr int kDepthRole = Qt::UserRole + 1;
    // 0: no mark, 1: a closed folder, 2: an open folder.
    static constexpr int kBranchRole = Qt::UserRole + 2;

    using QStyledItemDelegate::QStyledItemDelegate;

    // The width of one level, and of the mark, in `view`.
    static int Indent(const QWidget& view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace ravelmoor
