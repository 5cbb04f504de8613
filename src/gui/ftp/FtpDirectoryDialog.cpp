#include "gui/ftp/FtpDirectoryDialog.h"

#include <utility>

#include "gui/ftp/FtpDirectoryTree.h"

namespace ravelmoor {

FtpDirectoryDialog::FtpDirectoryDialog(FtpConnection connection, const QString& title,
                                       bool acceptAnyPath, Prompter& prompter, QWidget* parent)
    : RemoteDirectoryDialog(title, acceptAnyPath, new FtpDirectoryTree(prompter), parent),
      connection_(std::move(connection)) {}

FtpDirectoryTree* FtpDirectoryDialog::Tree() const {
    return static_cast<FtpDirectoryTree*>(BaseTree());
}

bool FtpDirectoryDialog::ConnectTree() {
    return Tree()->Initialise(connection_);
}

}  // namespace ravelmoor
