#pragma once

#include <QDialog>
#include <string>

#include "core/remote/ConnectionEditing.h"
#include "gui/remote/ConnectionNameBox.h"

class QFormLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace ravelmoor {

class RemoteDirectoryDialog;
class SettingsStore;

// What the FTP and SFTP connections dialogs share: the name box above the
// fields, "New", "Delete", OK and Cancel below them, and what each does. The
// rules are an editor's (FtpConnectionEditor, SftpConnectionEditor); the
// dialog hands it the user's own edits and shows its fields after each. Each opening reads the list
// of connections again; the fields stay from one opening to the next.
class ConnectionsDialog : public QDialog {
    Q_OBJECT

  public:
    ConnectionNameBox* NameBox() const { return name_; }
    QPushButton* NewButton() const { return new_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* OkButton() const { return ok_; }

    void accept() override;  // "OK": checks, asks, saves

  protected:
    ConnectionsDialog(SettingsStore& store, const QString& title, QWidget* parent);

    // Puts the name box first in `fields` and the buttons below; called by
    // the dialog once its own fields are in `fields`.
    void Lay(QFormLayout* fields);
    void showEvent(QShowEvent* event) override;
    // The editor's list, name and fields into the controls. Only signals
    // that the user's own edits raise are connected, so showing is not an edit.
    void ShowFields();
    // Hands the user's edits of the server and the directory to the editor;
    // the name shown follows them.
    void FollowServerAndDirectory(QLineEdit* server, QLineEdit* directory);
    // Runs the directory browser; the directory chosen there is taken.
    void Browse(RemoteDirectoryDialog& browser);

    virtual ConnectionEditing& Editor() = 0;
    // The dialog's own fields from the editor.
    virtual void ShowOwnFields() = 0;
    // Where the cursor goes on opening and after "New".
    virtual QWidget* FirstField() const = 0;

  private:
    void OnNew();
    void OnDelete();

    SettingsStore& settingsStore_;
    ConnectionNameBox* name_;
    QPushButton* new_;
    QPushButton* delete_;
    QPushButton* ok_ = nullptr;
};

}  // namespace ravelmoor
