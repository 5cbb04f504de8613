#pragma once

#include "core/ftp/FtpConnection.h"
#include "gui/remote/RemoteDirectoryDialog.h"

namespace ravelmoor {

class FtpDirectoryTree;
class Prompter;

// "Select FTP Directory": the folder tree of the connection's FTP server.
class FtpDirectoryDialog : public RemoteDirectoryDialog {
    Q_OBJECT

  public:
    FtpDirectoryDialog(FtpConnection connection, const QString& title, bool acceptAnyPath,
                       Prompter& prompter, QWidget* parent = nullptr);

    FtpDirectoryTree* Tree() const;

  protected:
    bool ConnectTree() override;

  private:
    FtpConnection connection_;
};

}  // namespace ravelmoor
