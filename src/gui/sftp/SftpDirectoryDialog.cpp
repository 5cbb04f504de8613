#include "gui/sftp/SftpDirectoryDialog.h"

#include <utility>

#include "gui/sftp/SftpDirectoryTree.h"

namespace ravelmoor {

SftpDirectoryDialog::SftpDirectoryDialog(SftpConnection connection, const QString& title,
                                         bool acceptAnyPath, Prompter& prompter, QWidget* parent)
    : RemoteDirectoryDialog(title, acceptAnyPath, new SftpDirectoryTree(prompter), parent),
      connection_(std::move(connection)) {}

SftpDirectoryTree* SftpDirectoryDialog::Tree() const {
    return static_cast<SftpDirectoryTree*>(BaseTree());
}

bool SftpDirectoryDialog::ConnectTree() {
    return Tree()->Initialise(connection_);
}

}  // namespace ravelmoor
