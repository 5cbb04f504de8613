#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;
class QLineEdit;
class QPushButton;

namespace ravelmoor {

class Pickers;
class Prompter;
class SettingsStore;
struct Settings;

// "General Settings": the three timestamp tolerances, the CRC chunk and the
// external file-comparison program with its parameters. OK checks the values
// and is the only way these six reach the per-user store; Cancel changes
// nothing.
class GeneralSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    GeneralSettingsDialog(Settings& settings, SettingsStore& store, Prompter& prompter,
                          Pickers& pickers, QWidget* parent = nullptr);

    void accept() override;  // OnOK

  private:
    void OnBrowseProgram();

    Settings& settings_;
    SettingsStore& store_;
    Prompter& prompter_;
    Pickers& pickers_;

    QCheckBox* twoSeconds_;
    QCheckBox* sixtySeconds_;
    QCheckBox* oneHour_;
    QCheckBox* keepReplaced_;
    QSpinBox* versionDays_;
    QLineEdit* chunk_;
    QLineEdit* program_;
    QPushButton* browse_;
    QLineEdit* parameters_;
};

}  // namespace ravelmoor
