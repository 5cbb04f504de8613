#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/engine/SilentPrompter.h"
#include "core/ftp/FtpConnection.h"
#include "core/remote/BrowseConnection.h"

namespace ravelmoor {

class FileSystem;

// The FTP directory browser's connection: passive data connections whatever
// the record says, and the default logon in place of an empty user (messages
// name the record's user).
class FtpBrowseConnection : public BrowseConnection {
  public:
    explicit FtpBrowseConnection(const FtpConnection& connection);
    ~FtpBrowseConnection() override;
    FtpBrowseConnection(const FtpBrowseConnection&) = delete;
    FtpBrowseConnection& operator=(const FtpBrowseConnection&) = delete;

    // The record as the browser was given it.
    const FtpConnection& Connection() const { return record_; }

    // Connects and logs on. Failed with what went wrong, in the words a
    // comparison would use: "Cannot initialise FTP connection", the
    // failure's text followed by " Server:" + server + " User:" + the
    // record's user, or "Error"; Quiet when the call was interrupted.
    Outcome<BrowseStatus> Connect() override;

    // A folder that cannot be listed is not worth a word, nor is a
    // connection that fails while a level is opened: both are Quiet.
    Listing List(const std::string& folder) override;

    void Interrupt() override;

    // The record's directory.
    std::string StartFolder() const override { return record_.directory; }

  private:
    FtpConnection record_;
    FtpConnection logon_;
    // The side tells no one: a listing's failure is Quiet.
    SilentPrompter silent_;
    std::atomic<int32_t> cancel_{0};
    std::mutex lock_;  // guards `side_` against Interrupt from another thread
    std::unique_ptr<FileSystem> side_;
};

}  // namespace ravelmoor
