#include "core/sftp/SftpBrowseConnection.h"

#include <utility>

#include "core/engine/MessageKeeper.h"
#include "core/sftp/SftpFileSystem.h"
#include "core/sftp/SftpSession.h"

namespace ravelmoor {

SftpBrowseConnection::SftpBrowseConnection(SftpConnection connection, Prompter& asker)
    : record_(std::move(connection)), message_(std::make_unique<MessageKeeper>(&asker)) {}

SftpBrowseConnection::~SftpBrowseConnection() = default;

Outcome<BrowseStatus> SftpBrowseConnection::Connect() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        side_.reset();
    }
    cancel_.store(0);
    auto session = std::make_unique<SftpSession>(record_, &cancel_);
    const SftpOutcome outcome = session->Connect(*message_, UnknownHostKey::Ask);
    // A key that could not be remembered was said; the connection stands.
    std::string kept = message_->Take();
    if (outcome != SftpOutcome::Done) {
        if (session->ErrorText().empty()) return Outcome<BrowseStatus>(BrowseStatus::Quiet);
        return Outcome<BrowseStatus>(BrowseStatus::Failed, session->ErrorText());
    }
    start_ = session->HomeFolder();
    auto side = std::make_unique<SftpFileSystem>(std::move(session), *message_);
    const std::lock_guard<std::mutex> hold(lock_);
    side_ = std::move(side);
    return Outcome<BrowseStatus>(BrowseStatus::Done, std::move(kept));
}

BrowseConnection::Listing SftpBrowseConnection::List(const std::string& folder) {
    Listing listing;
    if (cancel_.load() != 0 || side_ == nullptr) {
        Outcome<BrowseStatus> connected = Connect();
        if (!connected.Ok()) return Listing(connected.status, std::move(connected.reason));
        listing.reason = std::move(connected.reason);  // said even when the listing works
    }
    const ListStatus status = ListInto(*side_, folder, listing.value);
    std::string kept = message_->Take();
    if (status == ListStatus::Failed) {
        listing.status = kept.empty() ? BrowseStatus::Quiet : BrowseStatus::Failed;
        listing.reason = std::move(kept);
        const std::lock_guard<std::mutex> hold(lock_);
        side_.reset();  // broken for good: the next call connects again
    } else if (status != ListStatus::Listed) {
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
