#include "gui/widgets/GuiPrompter.h"

#include <QApplication>
#include <QThread>

#include "core/settings/Settings.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/OverrideCursor.h"

namespace ravelmoor {

void GuiPrompter::Inform(std::string_view text) {
    Ask(QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void GuiPrompter::Warn(std::string_view text) {
    Ask(QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void GuiPrompter::Notify(std::string_view text) {
    Warn(text);
}

bool GuiPrompter::AskOkCancel(std::string_view text) {
    return Ask(QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
               QMessageBox::Cancel) == QMessageBox::Ok;
}

bool GuiPrompter::AskYesNo(std::string_view text) {
    return Ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
               QMessageBox::No) == QMessageBox::Yes;
}

bool GuiPrompter::AskYesNoWarning(std::string_view text) {
    return Ask(QMessageBox::Warning, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
               QMessageBox::No) == QMessageBox::Yes;
}

bool GuiPrompter::AskYesNoDefaultNo(std::string_view text) {
    return Ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
               QMessageBox::No) == QMessageBox::Yes;
}

BatchAnswer GuiPrompter::AskOverwrite(std::string_view text) {
    return AskBatch(text, QMessageBox::Yes, QMessageBox::Cancel);
}

bool GuiPrompter::AskMoveToTrash(std::string_view text) {
    return AskYesNo(text);
}

BatchAnswer GuiPrompter::AskDeletePermanently(std::string_view text) {
    return AskBatch(text, QMessageBox::No, QMessageBox::No);
}

BatchAnswer GuiPrompter::AskBatch(std::string_view text, QMessageBox::StandardButton defaultButton,
                                  QMessageBox::StandardButton escapeButton) {
    switch (Ask(QMessageBox::Question, text,
                QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel,
                defaultButton, escapeButton)) {
        case QMessageBox::Yes:
            return BatchAnswer::Yes;
        case QMessageBox::YesToAll:
            return BatchAnswer::YesToAll;
        case QMessageBox::No:
            return BatchAnswer::No;
        default:
            return BatchAnswer::Cancel;
    }
}

QMessageBox::StandardButton GuiPrompter::Ask(QMessageBox::Icon icon, std::string_view text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton,
                                             QMessageBox::StandardButton escapeButton) {
    const QString message = FromStd(text);
    if (QThread::currentThread() == thread())
        return Show(icon, message, buttons, defaultButton, escapeButton);
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    QMetaObject::invokeMethod(
        this, [&] { answer = Show(icon, message, buttons, defaultButton, escapeButton); },
        Qt::BlockingQueuedConnection);
    return answer;
}

QMessageBox::StandardButton GuiPrompter::Show(QMessageBox::Icon icon, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton,
                                              QMessageBox::StandardButton escapeButton) {
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr) parent = QApplication::activeWindow();
    QMessageBox box(icon, QString::fromStdString(SettingsWindowTitle({})), text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    // The ordinary pointer while the user answers, even over a busy window.
    const OverrideCursor arrow(Qt::ArrowCursor);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    return clicked != QMessageBox::NoButton ? clicked : escapeButton;
}

}  // namespace ravelmoor
