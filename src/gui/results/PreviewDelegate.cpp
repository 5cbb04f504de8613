#include "gui/results/PreviewDelegate.h"

#include <QApplication>
#include <QPainter>

#include "gui/results/PreviewModel.h"
#include "gui/results/PreviewWindow.h"

namespace ravelmoor {

void PreviewDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // The style draws the background, the selection and the check box; the
    // text is drawn here, run by run.
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->save();
    painter->setFont(item.font);
    const QFontMetrics metrics(item.font);
    int x = area.left() + 2;
    for (const PreviewRun& run : model_.LineOf(index.row()).runs) {
        const QString text = QString::fromStdString(run.text);
        painter->setPen(selected && run.colour == PreviewColour::WindowText
                            ? option.palette.color(QPalette::HighlightedText)
                            : PreviewWindow::ColourOf(run.colour));
        painter->drawText(QRect(x, area.top(), area.right() - x, area.height()),
                          Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
        x += metrics.horizontalAdvance(text);
        if (x >= area.right()) break;
    }
    painter->restore();
}

}  // namespace ravelmoor
