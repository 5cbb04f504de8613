#pragma once

#include "core/sftp/SftpConnection.h"
#include "gui/remote/RemoteDirectoryDialog.h"

namespace ravelmoor {

class SftpDirectoryTree;
class Prompter;

// "Select SFTP Directory": the folder tree of the connection's SSH server,
// over SFTP; the tree starts at the root whatever the connection's directory.
class SftpDirectoryDialog : public RemoteDirectoryDialog {
    Q_OBJECT

  public:
    SftpDirectoryDialog(SftpConnection connection, const QString& title, bool acceptAnyPath,
                        Prompter& prompter, QWidget* parent = nullptr);

    SftpDirectoryTree* Tree() const;

  protected:
    bool ConnectTree() override;

  private:
    SftpConnection connection_;
};

}  // namespace ravelmoor
