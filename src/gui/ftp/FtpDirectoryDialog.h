#pragma once

#include <QDialog>
#include <string>

#include "core/ftp/FtpConnection.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace ravelmoor {

class FtpDirectoryTree;
class Prompter;

// "Select FTP Directory": the folder tree of the connection's server, a path
// box that follows the selection (or is typed into), OK and Cancel. The tree
// connects once the dialog is up; when it cannot, the dialog says why and
// closes as if cancelled. OK takes the path box: an empty one does nothing,
// and unless any path is accepted, the path's first level must be listed
// under the root (nothing is said when it is not).
class FtpDirectoryDialog : public QDialog {
    Q_OBJECT

  public:
    // `title` goes to the caption and the title line (the connections dialog
    // passes the server).
    FtpDirectoryDialog(FtpConnection connection, const QString& title, bool acceptAnyPath,
                       Prompter& prompter, QWidget* parent = nullptr);

    // The chosen path after OK.
    const std::string& Path() const { return path_; }

    // The tree is set up and no server call is under way.
    bool Ready() const;

    FtpDirectoryTree* Tree() const { return tree_; }
    QLineEdit* PathBox() const { return pathBox_; }
    QPushButton* OkButton() const { return ok_; }

    void accept() override;
    // Also breaks off a server call under way.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Initialise();
    void OnSelectionChanged();

    FtpConnection connection_;
    bool acceptAnyPath_;
    std::string path_;
    bool initialiseStarted_ = false;
    bool initialised_ = false;

    QLabel* titleLine_;
    FtpDirectoryTree* tree_;
    QLineEdit* pathBox_;
    QPushButton* ok_;
};

}  // namespace ravelmoor
