#include "gui/main/AboutDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/IconButton.h"

namespace ravelmoor {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    UseBackground(*this);
    setWindowTitle(tr("About Ravelmoor"));

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon("ravelmoor").pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* name =
        new QLabel(QStringLiteral("Ravelmoor %1").arg(QLatin1String(RAVELMOOR_VERSION)), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    name->setFont(big);

    auto* text = new QLabel(
        tr("Compares two folder trees, a Source and a Target, and brings them into "
           "agreement.\n\n"
           "Either side may be a local folder or, for one side, a folder on an FTP or "
           "SFTP server. Files are compared by size and time, by CRC-32 checksum, or both; "
           "include and exclude rules choose which entries take part."),
        this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    text->setMinimumWidth(340);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(name, 0, 1);
    layout->addWidget(text, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace ravelmoor
