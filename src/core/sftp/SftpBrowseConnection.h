#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/engine/SilentPrompter.h"
#include "core/remote/BrowseConnection.h"
#include "core/sftp/SftpConnection.h"

namespace ravelmoor {

class Prompter;
class SftpFileSystem;

// The SFTP directory browser's connection. The host key is checked as for a
// comparison: an unknown key is put to the user through `asker` (its SHA256
// fingerprint shown, No the default answer; a key it then cannot remember is
// told through `asker` too), a changed key is refused. Each
// server call is bounded by the record's timeout, so the browser needs no
// deadline of its own. The record's directory need not exist yet: the
// browser is how it is found.
class SftpBrowseConnection : public BrowseConnection {
  public:
    SftpBrowseConnection(SftpConnection connection, Prompter& asker);
    ~SftpBrowseConnection() override;

    // A failure reads as a comparison's: what failed, on which host, and why.
    Outcome<BrowseStatus> Connect() override;
    // A folder the server refuses to list is not worth a word; a connection
    // that failed is.
    Listing List(const std::string& folder) override;
    void Interrupt() override;
    // The record's directory on the server, made absolute below the folder
    // the logon starts in.
    std::string StartFolder() const override { return start_; }

  private:
    SftpConnection record_;
    Prompter& asker_;
    // The side tells no one: a listing's failure comes back as its reason.
    SilentPrompter silent_;
    std::atomic<int32_t> cancel_{0};
    std::string start_;
    std::mutex lock_;  // guards `side_` against Interrupt from another thread
    std::unique_ptr<SftpFileSystem> side_;
};

}  // namespace ravelmoor
