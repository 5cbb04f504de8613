#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ravelmoor {

class RemoteDirectoryTree;

// A server's folder tree, a path box that follows the selection (or is typed
// into), OK and Cancel: what the FTP and SFTP directory browsers share. The
// tree connects once the dialog is up (ConnectTree); when it cannot, the
// dialog has said why and closes as if cancelled. OK takes the path box: an
// empty one does nothing, and unless any path is accepted, the path's first
// level must be listed under the root (nothing is said when it is not).
class RemoteDirectoryDialog : public QDialog {
    Q_OBJECT

  public:
    // The chosen path after OK.
    const std::string& Path() const { return path_; }

    // The tree is set up and no server call is under way.
    bool Ready() const;

    QLineEdit* PathBox() const { return pathBox_; }
    QPushButton* OkButton() const { return ok_; }

    void accept() override;
    // Also breaks off a server call under way.
    void reject() override;

  protected:
    // `title` goes to the caption and the title line (the connections dialog
    // passes the server); the dialog takes `tree` into its layout.
    RemoteDirectoryDialog(const QString& title, bool acceptAnyPath, RemoteDirectoryTree* tree,
                          QWidget* parent);

    void showEvent(QShowEvent* event) override;
    RemoteDirectoryTree* BaseTree() const { return tree_; }
    // Connects the tree to the server; false when it could not.
    virtual bool ConnectTree() = 0;

  private:
    void Initialise();
    void OnSelectionChanged();

    bool acceptAnyPath_;
    std::string path_;
    bool initialiseStarted_ = false;
    bool initialised_ = false;

    QLabel* titleLine_;
    RemoteDirectoryTree* tree_;
    QLineEdit* pathBox_;
    QPushButton* ok_;
};

}  // namespace ravelmoor
