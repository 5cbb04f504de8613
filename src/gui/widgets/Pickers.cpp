#include "gui/widgets/Pickers.h"

#include <QFileDialog>

namespace ravelmoor {
namespace {

std::optional<std::string> PickFile(QWidget* parent, const FileChoice& choice,
                                    QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, choice.title, {}, choice.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(choice.defaultSuffix);
    if (!choice.initial.empty()) dialog.selectFile(QString::fromStdString(choice.initial));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace

std::optional<std::string> DialogPickers::PickFolder(QWidget* parent, const QString& title,
                                                     const std::string& start) {
    const QString chosen =
        QFileDialog::getExistingDirectory(parent, title, QString::fromStdString(start));
    if (chosen.isEmpty()) return {};
    return chosen.toStdString();
}

std::optional<std::string> DialogPickers::PickFileToOpen(QWidget* parent,
                                                         const FileChoice& choice) {
    return PickFile(parent, choice, QFileDialog::AcceptOpen);
}

std::optional<std::string> DialogPickers::PickFileToSave(QWidget* parent,
                                                         const FileChoice& choice) {
    return PickFile(parent, choice, QFileDialog::AcceptSave);
}

}  // namespace ravelmoor
