#include "gui/ftp/FtpDirectoryDialog.h"

#include <utility>

#include "gui/ftp/FtpDirectoryTree.h"

namespace ravelmoor {

FtpDirectoryDialog::FtpDirectoryDialog(FtpConnection connection, const QString& title,
                                       bool acceptAnyPath, Prompter& prompter, QWidget* parent)
    : FtpDirectoryDialog(std::move(connection), title, acceptAnyPath,
                         new FtpDirectoryTree(prompter), parent) {}

FtpDirectoryDialog::FtpDirectoryDialog(FtpConnection connection, const QString& title,
                                       bool acceptAnyPath, FtpDirectoryTree* tree, QWidget* parent)
    : RemoteDirectoryDialog(title, acceptAnyPath, tree, parent),
      connection_(std::move(connection)),
      tree_(tree) {}

bool FtpDirectoryDialog::ConnectTree() {
    return tree_->Initialise(connection_);
}

}  // namespace ravelmoor
