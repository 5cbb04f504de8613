#include "gui/results/TreeNameDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

namespace ravelmoor {

int TreeNameDelegate::Indent(const QWidget& view) {
    const auto* items = qobject_cast<const QAbstractItemView*>(&view);
    return (items != nullptr ? items->iconSize().width() : 16) + 4;
}

void TreeNameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const QVariant depth = index.data(kDepthRole);
    if (!depth.isValid() || option.widget == nullptr) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const int indent = Indent(*option.widget);
    const int start = depth.toInt() * indent;
    // The selection and background span the whole cell, the text starts in.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    QStyle* style = option.widget->style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

    const int branch = index.data(kBranchRole).toInt();
    if (branch != 0) {
        // A small triangle in the text's colour: pointing right for a closed
        // folder, down for an open one, the same in every style.
        const QRect mark(option.rect.left() + start, option.rect.top(), indent,
                         option.rect.height());
        const qreal half = indent / 5.0;
        const QPointF centre = QRectF(mark).center();
        QPolygonF triangle;
        if (branch == 2) {
            triangle << centre + QPointF(-half, -half / 2) << centre + QPointF(half, -half / 2)
                     << centre + QPointF(0, half);
        } else {
            triangle << centre + QPointF(-half / 2, -half) << centre + QPointF(-half / 2, half)
                     << centre + QPointF(half, 0);
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawPolygon(triangle);
        painter->restore();
    }
    QStyleOptionViewItem text = option;
    text.rect.setLeft(option.rect.left() + start + indent);
    QStyledItemDelegate::paint(painter, text, index);
}

QSize TreeNameDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QVariant depth = index.data(kDepthRole);
    if (depth.isValid() && option.widget != nullptr)
        size.rwidth() += (depth.toInt() + 1) * Indent(*option.widget);
    return size;
}

}  // namespace ravelmoor
