#include "gui/widgets/IconButton.h"

#include <QDialog>
#include <QDialogButtonBox>
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

QDialogButtonBox* MakeOkCancelIconButtons(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setIcon(ProgramIcon("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setIcon(ProgramIcon("cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
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
