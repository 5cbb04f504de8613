#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct sftp_attributes_struct;
struct sftp_file_struct;

namespace ravelmoor {

class SftpSession;

// Writes an open SFTP file with several write requests in flight, as the
// reading side already reads, so that an upload is not one round trip per
// piece. libssh 0.10 has no call for it (sftp_write waits for each answer;
// its aio calls came later), so the requests go on the SFTP channel as the
// protocol spells them (SSH_FXP_WRITE, answered by SSH_FXP_STATUS), with ids
// from the session's own counter, and every answer is read back here before
// any other call uses the channel again: Finish, or the destructor, takes
// the answers still due.
class SftpWritePipe {
  public:
    // Requests a piece asks for at most, and how many may wait for their
    // answers (OpenSSH's own client: 32 KiB, 64).
    static constexpr size_t kPiece = 32768;
    static constexpr size_t kInFlight = 64;

    // `what` names the write in messages ("writing the file /srv/a").
    SftpWritePipe(SftpSession& session, sftp_file_struct* file, std::string what);
    ~SftpWritePipe();
    SftpWritePipe(const SftpWritePipe&) = delete;
    SftpWritePipe& operator=(const SftpWritePipe&) = delete;

    // Sends `size` bytes (at most kPiece) to be written at the end of what was
    // sent before; waits for the oldest answer when kInFlight are due. False
    // once a write failed (refused, or the connection broke): what failed is
    // in the session's error text.
    bool Write(const char* data, size_t size);
    // Sends, behind the writes, the request that gives the open file the
    // mode bits and time of `attributes` (SSH_FXP_FSETSTAT), so that setting
    // them costs no round trip of its own; Finish then says how it went.
    bool SetFacts(const sftp_attributes_struct& attributes);
    // Waits for every answer due. False when any write failed.
    bool Finish();

  private:
    bool Send(const char* data, size_t size);
    // Sends `packet_` (its length word still to be filled in) as request `id`.
    bool SendPacket(uint32_t id);
    // Reads one answer and checks it against the oldest request due.
    bool TakeAnswer();
    bool ReadExactly(char* into, size_t size);
    bool Broke(const std::string& reason);

    SftpSession& session_;
    sftp_file_struct* file_;
    std::string what_;
    std::string handle_;
    uint64_t offset_ = 0;
    std::deque<uint32_t> due_;  // ids of the requests not answered yet
    std::vector<char> packet_;
    bool failed_ = false;
    bool broken_ = false;  // the channel's stream can no longer be trusted
};

}  // namespace ravelmoor
