#include "core/ftp/FtpBrowseConnection.h"

#include <utility>

#include "core/engine/FileEntry.h"
#include "core/engine/FileSystem.h"
#include "core/engine/Prompter.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/ftp/FtpOpener.h"

namespace ravelmoor {

// Keeps the last text the connection would have shown instead of showing it:
// the browser shows a failed logon itself, on its own thread, and says nothing
// about a folder it cannot list.
class FtpBrowseConnection::KeptMessage : public Prompter {
  public:
    void Inform(std::string_view text) override { text_ = text; }
    void Warn(std::string_view text) override { text_ = text; }
    bool AskOkCancel(std::string_view /*text*/) override { return false; }
    bool AskYesNo(std::string_view /*text*/) override { return false; }

    std::string Take() { return std::exchange(text_, {}); }

  private:
    std::string text_;
};

namespace {

class ItemCollector : public ListSink {
  public:
    explicit ItemCollector(std::vector<FtpBrowseConnection::Item>& items) : items_(items) {}
    bool OnEntry(const DirEntryFacts& facts) override {
        items_.push_back({std::string(facts.name), (facts.attributes & kFolderAttribute) != 0});
        return true;
    }

  private:
    std::vector<FtpBrowseConnection::Item>& items_;
};

}  // namespace

FtpBrowseConnection::FtpBrowseConnection(const FtpConnection& connection)
    : record_(connection),
      logon_(FtpConnectionStore::WithDefaultLogon(connection)),
      message_(std::make_unique<KeptMessage>()) {
    logon_.passive = true;
}

FtpBrowseConnection::~FtpBrowseConnection() = default;

bool FtpBrowseConnection::Connect(std::string& problem) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        side_.reset();
    }
    message_->Take();
    std::unique_ptr<FileSystem> side = OpenFtpSide(logon_, record_.user, *message_, &cancel_);
    problem = message_->Take();
    const std::lock_guard<std::mutex> hold(lock_);
    side_ = std::move(side);
    return side_ != nullptr;
}

bool FtpBrowseConnection::List(const std::string& folder, std::vector<Item>& items) {
    items.clear();
    // An interrupted connection fails every later call: start afresh.
    if (cancel_.exchange(0) != 0 || side_ == nullptr) {
        std::string problem;
        if (!Connect(problem)) return false;
    }
    ItemCollector collector(items);
    const bool listed = side_->ListFolder(folder, collector) == ListStatus::Listed;
    message_->Take();
    if (!listed) items.clear();
    return listed;
}

void FtpBrowseConnection::Interrupt() {
    cancel_.store(1);
    const std::lock_guard<std::mutex> hold(lock_);
    if (side_ != nullptr) side_->Interrupt();
}

}  // namespace ravelmoor
