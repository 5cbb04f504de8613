#include "gui/ftp/FtpDirectoryTree.h"

#include "core/ftp/FtpBrowseConnection.h"
#include "core/text/Translated.h"

namespace ravelmoor {

FtpDirectoryTree::FtpDirectoryTree(Prompter& prompter, QWidget* parent)
    : RemoteDirectoryTree(prompter, kDefaultDeadline, parent) {}

bool FtpDirectoryTree::Initialise(const FtpConnection& connection) {
    connection_ = connection;
    return RemoteDirectoryTree::Initialise(std::make_unique<FtpBrowseConnection>(connection));
}

std::string FtpDirectoryTree::DeadlineMessage(long long seconds) const {
    if (seconds == 1) {
        return FillIn(tr("The FTP server did not answer within 1 second. Server:%1 User:%2"),
                      {connection_.server, connection_.user});
    }
    return FillIn(tr("The FTP server did not answer within %1 seconds. Server:%2 User:%3"),
                  {std::to_string(seconds), connection_.server, connection_.user});
}

}  // namespace ravelmoor
