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
        QStyleOption mark;
        mark.rect =
            QRect(option.rect.left() + start, option.rect.top(), indent, option.rect.height());
        mark.palette = option.palette;
        mark.state = QStyle::State_Children | QStyle::State_Item |
                     (branch == 2 ? QStyle::State_Open : QStyle::State_None) |
                     (option.state & QStyle::State_Enabled);
        style->drawPrimitive(QStyle::PE_IndicatorBranch, &mark, painter, option.widget);
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
