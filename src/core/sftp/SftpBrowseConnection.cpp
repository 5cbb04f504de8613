#include "core/sftp/SftpBrowseConnection.h"

#include <utility>

#include "core/engine/MessageKeeper.h"
#include "core/sftp/SftpFileSystem.h"
#include "core/sftp/SftpSession.h"

namespace ravelmoor {

SftpBrowseConnection::SftpBrowseConnection(SftpConnection connection, Prompter& asker)
    : record_(std::move(connection)), message_(std::make_unique<MessageKeeper>(&asker)) {}

SftpBrowseConnection::~SftpBrowseConnection() = default;

bool SftpBrowseConnection::Connect(std::string& problem) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        side_.reset();
    }
    problem.clear();
    cancel_.store(0);
    auto session = std::make_unique<SftpSession>(record_, &cancel_);
    const SftpOutcome outcome = session->Connect(*message_, UnknownHostKey::Ask);
    // A key that could not be remembered was said; the connection stands.
    const std::string kept = message_->Take();
    if (outcome != SftpOutcome::Done) {
        problem = session->ErrorText();
        return false;
    }
    if (!kept.empty()) problem = kept;
    start_ = session->HomeFolder();
    auto side = std::make_unique<SftpFileSystem>(std::move(session), *message_);
    const std::lock_guard<std::mutex> hold(lock_);
    side_ = std::move(side);
    return true;
}

bool SftpBrowseConnection::List(const std::string& folder, std::vector<Item>& items,
                                std::string& problem) {
    items.clear();
    problem.clear();
    if (cancel_.load() != 0 || side_ == nullptr) {
        if (!Connect(problem)) return false;
    }
    const ListStatus status = ListInto(*side_, folder, items);
    const std::string kept = message_->Take();
    if (status == ListStatus::Failed) {
        problem = kept;
        const std::lock_guard<std::mutex> hold(lock_);
        side_.reset();  // broken for good: the next call connects again
    }
    return status == ListStatus::Listed;
}

void SftpBrowseConnection::Interrupt() {
    cancel_.store(1);
    const std::lock_guard<std::mutex> hold(lock_);
    if (side_ != nullptr) side_->Interrupt();
}

}  // namespace ravelmoor
