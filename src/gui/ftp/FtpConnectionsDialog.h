#pragma once

#include <string>

#include "core/ftp/FtpConnectionEditor.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/ftp/ServerClock.h"
#include "gui/remote/ConnectionsDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace ravelmoor {

class Prompter;
class SettingsStore;

// "FTP Connections": creates, edits and deletes the stored FTP connections.
// The controls are bound to an FtpConnectionEditor, which holds the rules.
// The program keeps one instance, so the fields stay from one opening to the
// next.
class FtpConnectionsDialog : public ConnectionsDialog {
    Q_OBJECT

  public:
    FtpConnectionsDialog(SettingsStore& store, Prompter& prompter, QWidget* parent = nullptr);

    // The connection's name, as the dialog shows it (after OK: the chosen one).
    const std::string& Name() const { return editor_.Name(); }

    QLineEdit* ServerBox() const { return server_; }
    QLineEdit* UserBox() const { return user_; }
    QLineEdit* PasswordBox() const { return password_; }
    QLineEdit* DirectoryBox() const { return directory_; }
    QCheckBox* PassiveBox() const { return passive_; }
    // How the server's clock reads, as the last comparison found it.
    QLabel* ClockLabel() const { return clock_; }
    QToolButton* BrowseButton() const { return browse_; }

    // The words the dialog shows for `clock`.
    static QString ClockText(const ServerClock& clock);

  protected:
    ConnectionEditing& Editor() override { return editor_; }
    void ShowOwnFields() override;
    QWidget* FirstField() const override;

  private:
    void OnBrowse();

    FtpConnectionStore store_;
    Prompter& prompter_;
    FtpConnectionEditor editor_;

    QLineEdit* server_;
    QLineEdit* user_;
    QLineEdit* password_;
    QLineEdit* directory_;
    QToolButton* browse_;
    QCheckBox* passive_;
    QLabel* clock_;
};

}  // namespace ravelmoor
