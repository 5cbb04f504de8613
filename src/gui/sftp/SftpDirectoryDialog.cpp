#include "gui/sftp/SftpDirectoryDialog.h"

#include <utility>

#include "gui/sftp/SftpDirectoryTree.h"

namespace ravelmoor {

SftpDirectoryDialog::SftpDirectoryDialog(SftpConnection connection, const QString& title,
                                         bool acceptAnyPath, Prompter& prompter, QWidget* parent)
    : SftpDirectoryDialog(std::move(connection), title, acceptAnyPath,
                          new SftpDirectoryTree(prompter), parent) {}

SftpDirectoryDialog::SftpDirectoryDialog(SftpConnection connection, const QString& title,
                                         bool acceptAnyPath, SftpDirectoryTree* tree,
                                         QWidget* parent)
    : RemoteDirectoryDialog(title, acceptAnyPath, tree, parent),
      connection_(std::move(connection)),
      tree_(tree) {}

bool SftpDirectoryDialog::ConnectTree() {
    return tree_->Initialise(connection_);
}

}  // namespace ravelmoor
