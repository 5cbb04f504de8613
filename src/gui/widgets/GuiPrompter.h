#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <string_view>

#include "core/engine/Prompter.h"

namespace ravelmoor {

// The desktop program's Prompter: message boxes titled with the program's
// name over the window in front. It belongs to the user-interface thread; a
// question from another thread (the comparison worker) is carried over to it
// and the asking thread waits for the answer, while the window in front (the
// progress dialog) stays up and keeps its timer.
class GuiPrompter : public QObject, public Prompter {
    Q_OBJECT

  public:
    explicit GuiPrompter(QObject* parent = nullptr) : QObject(parent) {}

    void Inform(std::string_view text) override;
    void Warn(std::string_view text) override;
    void Notify(std::string_view text) override;
    bool AskOkCancel(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    bool AskYesNoWarning(std::string_view text) override;
    bool AskYesNoDefaultNo(std::string_view text) override;
    BatchAnswer AskOverwrite(std::string_view text) override;
    bool AskMoveToTrash(std::string_view text) override;
    // Enter, Escape or the close box answer No.
    BatchAnswer AskDeletePermanently(std::string_view text) override;

  private:
    BatchAnswer AskBatch(std::string_view text, QMessageBox::StandardButton defaultButton,
                         QMessageBox::StandardButton escapeButton);
    // Shows the box on the user-interface thread and returns the button pressed.
    // Escape and the close box give `escapeButton` (Cancel, or No, or OK
    // when the box has only that).
    QMessageBox::StandardButton Ask(QMessageBox::Icon icon, std::string_view text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton,
                                    QMessageBox::StandardButton escapeButton);
    static QMessageBox::StandardButton Show(QMessageBox::Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton,
                                            QMessageBox::StandardButton escapeButton);
};

}  // namespace ravelmoor
