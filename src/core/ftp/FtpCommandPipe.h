#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ftp/FtpConnection.h"

namespace ravelmoor {

// A control connection of its own to an FTP server, logged on as the
// connection says, on which many commands go out before their answers come
// back: a server reads its commands as a stream, so asking MDTM of a
// thousand files costs a few round trips instead of a thousand. libcurl sends
// a command only once the one before was answered, so this speaks the few
// words of FTP it needs itself (plain FTP only, as the client does). Where
// the server does not answer two commands sent together, Open fails and the
// caller asks one command at a time.
class FtpCommandPipe {
  public:
    // Commands sent ahead of their answers, at most.
    static constexpr size_t kWindow = 32;

    FtpCommandPipe(FtpConnection connection, const std::atomic<int32_t>* cancel);
    ~FtpCommandPipe();
    FtpCommandPipe(const FtpCommandPipe&) = delete;
    FtpCommandPipe& operator=(const FtpCommandPipe&) = delete;

    // Connects, logs on and checks that two commands sent together are both
    // answered. False when any of it fails.
    bool Open();
    // Sends `commands`, keeping up to kWindow of them ahead of their
    // answers; `answers` gets each one's last reply line ("213 2021..."), in
    // order. False when the connection failed on the way: `answers` then
    // holds the answers that came.
    bool Ask(const std::vector<std::string>& commands, std::vector<std::string>& answers);

  private:
    bool Connect();
    bool Send(const std::string& line);
    // The last line of the next reply; false when none came in time.
    bool Reply(std::string& line, std::chrono::seconds patience);
    bool Cancelled() const;

    FtpConnection connection_;
    const std::atomic<int32_t>* cancel_;
    int fd_ = -1;
    std::string received_;  // read but not yet taken
};

}  // namespace ravelmoor
