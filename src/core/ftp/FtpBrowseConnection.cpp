#include "core/ftp/FtpBrowseConnection.h"

#include <utility>

#include "core/engine/FileSystem.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/ftp/FtpOpener.h"

namespace ravelmoor {

FtpBrowseConnection::FtpBrowseConnection(const FtpConnection& connection)
    : record_(connection), logon_(FtpConnectionStore::WithDefaultLogon(connection)) {
    logon_.passive = true;
}

FtpBrowseConnection::~FtpBrowseConnection() = default;

Outcome<BrowseStatus> FtpBrowseConnection::Connect() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        side_.reset();
    }
    OpenResult<FileSystem> opened = OpenFtpSide(logon_, record_.user, silent_, &cancel_);
    const std::lock_guard<std::mutex> hold(lock_);
    side_ = std::move(opened.value);
    if (side_ != nullptr) return {};
    if (opened.status == OpenStatus::Failed)
        return Outcome<BrowseStatus>(BrowseStatus::Failed, std::move(opened.reason));
    return Outcome<BrowseStatus>(BrowseStatus::Quiet);
}

BrowseConnection::Listing FtpBrowseConnection::List(const std::string& folder) {
    // An interrupted connection fails every later call: start afresh. A
    // level that cannot be listed says nothing.
    if (cancel_.exchange(0) != 0 || side_ == nullptr) {
        if (!Connect().Ok()) return Listing(BrowseStatus::Quiet);
    }
    Listing listing;
    if (!ListInto(*side_, folder, listing.value).Ok()) listing.status = BrowseStatus::Quiet;
    return listing;
}

void FtpBrowseConnection::Interrupt() {
    cancel_.store(1);
    const std::lock_guard<std::mutex> hold(lock_);
    if (side_ != nullptr) side_->Interrupt();
}

}  // namespace ravelmoor
