#pragma once

#include <QIcon>
#include <QString>

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QToolButton;
class QWidget;

namespace ravelmoor {

// An icon drawn for this program: resources/icons/<name>.svg.
QIcon ProgramIcon(const char* name);

// A push button with text, icon and tooltip (an empty tooltip sets none).
QPushButton* MakeIconButton(const QString& text, const char* icon, const QString& tooltip,
                            QWidget* parent);

// OK and Cancel with their icons for `dialog`: OK calls its accept(), Cancel
// its reject().
QDialogButtonBox* MakeOkCancelIconButtons(QDialog& dialog);

// A small button that shows only its icon; the tooltip says what it does.
QToolButton* MakeSmallIconButton(const char* icon, const QString& tooltip, QWidget* parent);

}  // namespace ravelmoor
