#include "ui/GuiPrompter.h"

#include <QApplication>
#include <QThread>

#include "app/Settings.h"

namespace ravelmoor {

void GuiPrompter::Inform(std::string_view text) {
    Ask(QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void GuiPrompter::Warn(std::string_view text) {
    Ask(QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool GuiPrompter::AskOkCancel(std::string_view text) {
    return Ask(QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel,
               QMessageBox::Ok) == QMessageBox::Ok;
}

bool GuiPrompter::AskYesNo(std::string_view text) {
    return Ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

QMessageBox::StandardButton GuiPrompter::Ask(QMessageBox::Icon icon, std::string_view text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) {
    const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (QThread::currentThread() == thread()) return Show(icon, message, buttons, defaultButton);
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    QMetaObject::invokeMethod(
        this, [&] { answer = Show(icon, message, buttons, defaultButton); },
        Qt::BlockingQueuedConnection);
    return answer;
}

QMessageBox::StandardButton GuiPrompter::Show(QMessageBox::Icon icon, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton) {
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr) parent = QApplication::activeWindow();
    QMessageBox box(icon, QString::fromStdString(SettingsWindowTitle({})), text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    box.exec();
    // A box closed without a button (Escape on a box without Cancel) counts
    // as its default answer for a fact, and as "no" for a question.
    const auto clicked = box.standardButton(box.clickedButton());
    if (clicked != QMessageBox::NoButton) return clicked;
    return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
           : buttons.testFlag(QMessageBox::No)   ? QMessageBox::No
                                                 : defaultButton;
}

}  // namespace ravelmoor
