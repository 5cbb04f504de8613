#include "core/ftp/FtpBrowseConnection.h"

#include <utility>

#include "core/engine/FileSystem.h"
#include "core/engine/MessageKeeper.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/ftp/FtpOpener.h"

namespace ravelmoor {

FtpBrowseConnection::FtpBrowseConnection(const FtpConnection& connection)
    : record_(connection),
      logon_(FtpConnectionStore::WithDefaultLogon(connection)),
      message_(std::make_unique<MessageKeeper>()) {
    logon_.passive = true;
}

FtpBrowseConnection::~FtpBrowseConnection() = default;

bool FtpBrowseConnection::Connect(std::string& problem) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        side_.reset();
    }
    message_->Take();
    OpenResult<FileSystem> opened = OpenFtpSide(logon_, record_.user, *message_, &cancel_);
    problem = std::move(opened.reason);
    const std::lock_guard<std::mutex> hold(lock_);
    side_ = std::move(opened.value);
    return side_ != nullptr;
}

bool FtpBrowseConnection::List(const std::string& folder, std::vector<Item>& items,
                               std::string& problem) {
    items.clear();
    problem.clear();
    // An interrupted connection fails every later call: start afresh.
    if (cancel_.exchange(0) != 0 || side_ == nullptr) {
        std::string notSaid;  // a level that cannot be listed says nothing
        if (!Connect(notSaid)) return false;
    }
    const bool listed = ListInto(*side_, folder, items) == ListStatus::Listed;
    message_->Take();
    return listed;
}

void FtpBrowseConnection::Interrupt() {
    cancel_.store(1);
    const std::lock_guard<std::mutex> hold(lock_);
    if (side_ != nullptr) side_->Interrupt();
}

}  // namespace ravelmoor
