#pragma once

#include "core/ftp/FtpConnection.h"
#include "gui/widgets/RemoteDirectoryDialog.h"

namespace ravelmoor {

class FtpDirectoryTree;
class Prompter;

// "Select FTP Directory": the folder tree of the connection's FTP server.
class FtpDirectoryDialog : public RemoteDirectoryDialog {
    Q_OBJECT

  public:
    FtpDirectoryDialog(FtpConnection connection, const QString& title, bool acceptAnyPath,
                       Prompter& prompter, QWidget* parent = nullptr);

    FtpDirectoryTree* Tree() const { return tree_; }

  protected:
    bool ConnectTree() override;

  private:
    FtpDirectoryDialog(FtpConnection connection, const QString& title, bool acceptAnyPath,
                       FtpDirectoryTree* tree, QWidget* parent);

    FtpConnection connection_;
    FtpDirectoryTree* tree_;
};

}  // namespace ravelmoor
