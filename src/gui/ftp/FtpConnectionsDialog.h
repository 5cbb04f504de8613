#pragma once

#include <QDialog>
#include <string>

#include "core/ftp/FtpConnectionEditor.h"
#include "core/ftp/FtpConnectionStore.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace ravelmoor {

class Prompter;
class SettingsStore;

// "FTP Connections": creates, edits and deletes the stored FTP connections.
// The controls are bound to an FtpConnectionEditor, which holds the rules:
// the dialog hands it the user's own edits and shows its fields afterwards.
// The program keeps one instance, so the fields stay from one opening to the
// next; each opening reads the list of connections again.
class FtpConnectionsDialog : public QDialog {
    Q_OBJECT

  public:
    FtpConnectionsDialog(SettingsStore& store, Prompter& prompter, QWidget* parent = nullptr);

    // The connection's name, as the dialog shows it (after OK: the chosen one).
    const std::string& Name() const { return editor_.Name(); }

    QComboBox* NameBox() const { return name_; }
    QLineEdit* ServerBox() const { return server_; }
    QLineEdit* UserBox() const { return user_; }
    QLineEdit* PasswordBox() const { return password_; }
    QLineEdit* DirectoryBox() const { return directory_; }
    QCheckBox* PassiveBox() const { return passive_; }
    QToolButton* BrowseButton() const { return browse_; }
    QPushButton* NewButton() const { return new_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* OkButton() const { return ok_; }

    void accept() override;  // "OK": checks, asks, saves

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The editor's name list and fields into the controls. Only signals that
    // the user's own edits raise are connected, so showing is not an edit.
    void ShowFields();
    void OnNew();
    void OnDelete();
    void OnBrowse();

    SettingsStore& settingsStore_;
    FtpConnectionStore store_;
    Prompter& prompter_;
    FtpConnectionEditor editor_;

    QComboBox* name_;
    QLineEdit* server_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* directory_;
    QToolButton* browse_;
    QCheckBox* passive_;
    QPushButton* new_;
    QPushButton* delete_;
    QPushButton* ok_;
};

}  // namespace ravelmoor
