#include "ui/IconButton.h"

#include <QPushButton>
#include <QToolButton>

namespace ravelmoor {

QIcon ProgramIcon(const char* name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QPushButton* MakeIconButton(const QString& text, const char* icon, const QString& tooltip,
                            QWidget* parent) {
    auto* button = new QPushButton(ProgramIcon(icon), text, parent);
    if (!tooltip.isEmpty()) button->setToolTip(tooltip);
    return button;
}

QToolButton* MakeSmallIconButton(const char* icon, const QString& tooltip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setIcon(ProgramIcon(icon));
    button->setToolTip(tooltip);
    button->setAccessibleName(tooltip);
    button->setAutoRaise(false);
    return button;
}

}  // namespace ravelmoor
