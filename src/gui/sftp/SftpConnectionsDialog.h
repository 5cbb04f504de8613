#pragma once

#include <string>

#include "core/sftp/SftpConnectionEditor.h"
#include "core/sftp/SftpConnectionStore.h"
#include "gui/remote/ConnectionsDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace ravelmoor {

class Pickers;
class Prompter;
class SettingsStore;

// "SFTP Connections": creates, edits and deletes the stored SFTP connections,
// as "FTP Connections" does the FTP ones. The controls are bound to an
// SftpConnectionEditor, which holds the rules. The key file and the secret
// are asked for only by the logons that use them; the secret goes to the
// keyring, never into the settings file. The program keeps one instance, so
// the fields stay from one opening to the next.
class SftpConnectionsDialog : public ConnectionsDialog {
    Q_OBJECT

  public:
    SftpConnectionsDialog(SettingsStore& store, Prompter& prompter, Pickers& pickers,
                          QWidget* parent = nullptr);

    // The connection's name, as the dialog shows it (after OK: the chosen one).
    const std::string& Name() const { return editor_.Name(); }

    QLineEdit* HostBox() const { return host_; }
    QSpinBox* PortBox() const { return port_; }
    QLineEdit* UserBox() const { return user_; }
    QLineEdit* DirectoryBox() const { return directory_; }
    QComboBox* LogonBox() const { return logon_; }
    QLineEdit* KeyFileBox() const { return keyFile_; }
    QLineEdit* SecretBox() const { return secret_; }
    QToolButton* KeyFileButton() const { return pickKeyFile_; }
    QToolButton* BrowseButton() const { return browse_; }

  protected:
    ConnectionEditing& Editor() override { return editor_; }
    void ShowOwnFields() override;
    QWidget* FirstField() const override;

  private:
    void OnBrowse();
    void OnPickKeyFile();

    SftpConnectionStore store_;
    Prompter& prompter_;
    Pickers& pickers_;
    SftpConnectionEditor editor_;

    QLineEdit* host_;
    QSpinBox* port_;
    QLineEdit* user_;
    QLineEdit* directory_;
    QToolButton* browse_;
    QComboBox* logon_;
    QLineEdit* keyFile_;
    QToolButton* pickKeyFile_;
    QLabel* secretLabel_;
    QLineEdit* secret_;
};

}  // namespace ravelmoor
