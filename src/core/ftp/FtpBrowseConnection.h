#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/ftp/FtpConnection.h"

namespace ravelmoor {

class FileSystem;

// The FTP directory browser's own connection to a server, apart from any
// comparison's: passive data connections whatever the record says, and the
// default logon in place of an empty user (messages name the record's user). Its calls block while
// the server answers, so the browser makes them on a worker thread; Interrupt breaks the call under
// way from any other thread.
class FtpBrowseConnection {
  public:
    struct Item {
        std::string name;  // as the server lists it
        bool folder = false;
    };

    explicit FtpBrowseConnection(const FtpConnection& connection);
    ~FtpBrowseConnection();
    FtpBrowseConnection(const FtpBrowseConnection&) = delete;
    FtpBrowseConnection& operator=(const FtpBrowseConnection&) = delete;

    // The record as the browser was given it.
    const FtpConnection& Connection() const { return record_; }

    // Connects and logs on. False with what went wrong in `problem`, in the
    // words a comparison would use: "Cannot initialise FTP connection", the
    // failure's text followed by " Server:" + server + " User:" + the
    // record's user, or
    // "Error"; `problem` stays empty when the call was interrupted.
    bool Connect(std::string& problem);

    // The children of the server folder `folder` ("/", "/pub/docs"), in the
    // server's order, "." and ".." left out. False when the folder cannot be
    // listed. After an interrupted call the next one connects again.
    bool List(const std::string& folder, std::vector<Item>& items);

    void Interrupt();

  private:
    class KeptMessage;

    FtpConnection record_;
    FtpConnection logon_;
    std::unique_ptr<KeptMessage> message_;
    std::atomic<int32_t> cancel_{0};
    std::mutex lock_;  // guards `side_` against Interrupt from another thread
    std::unique_ptr<FileSystem> side_;
};

}  // namespace ravelmoor
