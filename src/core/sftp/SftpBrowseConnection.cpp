#include "core/sftp/SftpBrowseConnection.h"

#include <utility>

#include "core/sftp/SftpFileSystem.h"
#include "core/sftp/SftpSession.h"

namespace ravelmoor {

SftpBrowseConnection::SftpBrowseConnection(SftpConnection connection, Prompter& asker)
    : record_(std::move(connection)), asker_(asker) {}

SftpBrowseConnection::~SftpBrowseConnection() = default;

Outcome<BrowseStatus> SftpBrowseConnection::Connect() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        side_.reset();
    }
    cancel_.store(0);
    auto session = std::make_unique<SftpSession>(record_, &cancel_);
    // A key that could not be remembered is said; the connection stands.
    const SftpOutcome outcome = session->Connect(asker_, UnknownHostKey::Ask);
    if (outcome != SftpOutcome::Done) {
        if (session->ErrorText().empty()) return Outcome<BrowseStatus>(BrowseStatus::Quiet);
        return Outcome<BrowseStatus>(BrowseStatus::Failed, session->ErrorText());
    }
    start_ = session->HomeFolder();
    auto side = std::make_unique<SftpFileSystem>(std::move(session), silent_);
    const std::lock_guard<std::mutex> hold(lock_);
    side_ = std::move(side);
    return {};
}

BrowseConnection::Listing SftpBrowseConnection::List(const std::string& folder) {
    Listing listing;
    if (cancel_.load() != 0 || side_ == nullptr) {
        Outcome<BrowseStatus> connected = Connect();
        if (!connected.Ok()) return Listing(connected.status, std::move(connected.reason));
    }
    ListOutcome listed = ListInto(*side_, folder, listing.value);
    if (listed.status == ListStatus::Failed) {
        listing.status = listed.reason.empty() ? BrowseStatus::Quiet : BrowseStatus::Failed;
        listing.reason = std::move(listed.reason);
        const std::lock_guard<std::mutex> hold(lock_);
        side_.reset();  // broken for good: the next call connects again
    } else if (!listed.Ok()) {
        listing.status = BrowseStatus::Quiet;
    }
    return listing;
}

void SftpBrowseConnection::Interrupt() {
    cancel_.store(1);
    const std::lock_guard<std::mutex> hold(lock_);
    if (side_ != nullptr) side_->Interrupt();
}

}  // namespace ravelmoor
