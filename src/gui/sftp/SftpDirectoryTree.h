#pragma once

#include "core/sftp/SftpConnection.h"
#include "gui/remote/RemoteDirectoryTree.h"

namespace ravelmoor {

class Prompter;

// The folder tree of an SSH server, over SFTP. An unknown host key is put to
// the user through the prompter; each call is bounded by the connection's
// own timeout, so the tree sets no deadline of its own.
class SftpDirectoryTree : public RemoteDirectoryTree {
    Q_OBJECT

  public:
    static constexpr const char* kNoConnection =
        QT_TR_NOOP("SFTP connection has not been established.");

    explicit SftpDirectoryTree(Prompter& prompter, QWidget* parent = nullptr);

    // Connects to the server of `connection` and opens the tree along the
    // record's directory (below the folder the logon starts in, unless it is
    // absolute).
    bool Initialise(const SftpConnection& connection);

  protected:
    QString NoConnectionText() const override { return tr(kNoConnection); }

  private:
    Prompter& prompter_;
};

}  // namespace ravelmoor
