#pragma once

#include <chrono>

#include "core/ftp/FtpConnection.h"
#include "gui/remote/RemoteDirectoryTree.h"

namespace ravelmoor {

class Prompter;

// The folder tree of an FTP server. A call still unanswered at the deadline
// is broken off with a message: libcurl's own limits (a minute without an
// answer) are for comparisons, where nobody watches a tree.
class FtpDirectoryTree : public RemoteDirectoryTree {
    Q_OBJECT

  public:
    static constexpr const char* kNoConnection =
        QT_TR_NOOP("FTP connection has not been established.");
    static constexpr std::chrono::seconds kDefaultDeadline{30};

    explicit FtpDirectoryTree(Prompter& prompter, QWidget* parent = nullptr);

    // Connects to the server of `connection` (passive, the default logon for
    // an empty user) and opens the tree along the record's directory.
    bool Initialise(const FtpConnection& connection);

  protected:
    QString NoConnectionText() const override { return tr(kNoConnection); }
    std::string DeadlineMessage(long long seconds) const override;

  private:
    FtpConnection connection_;
};

}  // namespace ravelmoor
