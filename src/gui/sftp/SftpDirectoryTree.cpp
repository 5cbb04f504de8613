#include "gui/sftp/SftpDirectoryTree.h"

#include "core/sftp/SftpBrowseConnection.h"

namespace ravelmoor {

SftpDirectoryTree::SftpDirectoryTree(Prompter& prompter, QWidget* parent)
    : RemoteDirectoryTree(prompter, std::chrono::milliseconds(0), parent), prompter_(prompter) {}

bool SftpDirectoryTree::Initialise(const SftpConnection& connection) {
    return RemoteDirectoryTree::Initialise(
        std::make_unique<SftpBrowseConnection>(connection, prompter_));
}

}  // namespace ravelmoor
