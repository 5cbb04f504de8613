#include "gui/widgets/ReportList.h"

#include <QPainter>

namespace ravelmoor {

ReportList::ReportList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
}

void ReportList::SetEmptyText(const QString& text) {
    emptyText_ = text;
    viewport()->update();
}

void ReportList::paintEvent(QPaintEvent* event) {
    QTreeWidget::paintEvent(event);
    if (topLevelItemCount() != 0 || emptyText_.isEmpty()) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::WindowText));
    QRect line = viewport()->rect();
    line.setHeight(fontMetrics().height() * 2);
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, emptyText_);
}

}  // namespace ravelmoor
