#include "core/sftp/SftpWritePipe.h"

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <cstring>

#include "core/sftp/SftpSession.h"

namespace ravelmoor {
namespace {

constexpr uint8_t kWriteRequest = 6;      // SSH_FXP_WRITE
constexpr uint8_t kSetFactsRequest = 10;  // SSH_FXP_FSETSTAT
constexpr uint8_t kStatusAnswer = 101;    // SSH_FXP_STATUS
// A status answer is an id, a code, a message and a language tag: far below this.
constexpr uint32_t kLongestAnswer = 65536;

void Put32(std::vector<char>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void Put64(std::vector<char>& out, uint64_t value) {
    Put32(out, static_cast<uint32_t>(value >> 32));
    Put32(out, static_cast<uint32_t>(value));
}

uint32_t Get32(const char* at) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(at);
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

}  // namespace

SftpWritePipe::SftpWritePipe(SftpSession& session, sftp_file_struct* file, std::string what)
    : session_(session), file_(file), what_(std::move(what)) {
    handle_.assign(static_cast<const char*>(ssh_string_data(file->handle)),
                   ssh_string_len(file->handle));
    packet_.reserve(kPiece + handle_.size() + 32);
}

SftpWritePipe::~SftpWritePipe() {
    Finish();
}

bool SftpWritePipe::Write(const char* data, size_t size) {
    while (!broken_ && due_.size() >= kInFlight)
        TakeAnswer();
    if (failed_) return false;
    return Send(data, size);
}

bool SftpWritePipe::Finish() {
    while (!broken_ && !due_.empty())
        TakeAnswer();
    return !failed_;
}

bool SftpWritePipe::Send(const char* data, size_t size) {
    // From the counter libssh takes its own ids from, so none is used twice.
    const uint32_t id = ++file_->sftp->id_counter;
    packet_.assign(4, '\0');
    packet_.push_back(static_cast<char>(kWriteRequest));
    Put32(packet_, id);
    Put32(packet_, static_cast<uint32_t>(handle_.size()));
    packet_.insert(packet_.end(), handle_.begin(), handle_.end());
    Put64(packet_, offset_);
    Put32(packet_, static_cast<uint32_t>(size));
    packet_.insert(packet_.end(), data, data + size);
    if (!SendPacket(id)) return false;
    offset_ += size;
    return true;
}

bool SftpWritePipe::SetFacts(const sftp_attributes_struct& attributes) {
    while (!broken_ && due_.size() >= kInFlight)
        TakeAnswer();
    if (failed_) return false;
    const uint32_t id = ++file_->sftp->id_counter;
    packet_.assign(4, '\0');
    packet_.push_back(static_cast<char>(kSetFactsRequest));
    Put32(packet_, id);
    Put32(packet_, static_cast<uint32_t>(handle_.size()));
    packet_.insert(packet_.end(), handle_.begin(), handle_.end());
    // The attributes as the protocol orders them: only mode bits and times.
    const uint32_t flags =
        attributes.flags & (SSH_FILEXFER_ATTR_PERMISSIONS | SSH_FILEXFER_ATTR_ACMODTIME);
    Put32(packet_, flags);
    if ((flags & SSH_FILEXFER_ATTR_PERMISSIONS) != 0) Put32(packet_, attributes.permissions);
    if ((flags & SSH_FILEXFER_ATTR_ACMODTIME) != 0) {
        Put32(packet_, attributes.atime);
        Put32(packet_, attributes.mtime);
    }
    return SendPacket(id);
}

bool SftpWritePipe::SendPacket(uint32_t id) {
    const auto length = static_cast<uint32_t>(packet_.size() - 4);
    for (int i = 0; i < 4; ++i)
        packet_[static_cast<size_t>(i)] = static_cast<char>((length >> (24 - 8 * i)) & 0xFF);
    int written = 0;
    {
        const SftpSession::Call call(session_);
        written = ssh_channel_write(file_->sftp->channel, packet_.data(),
                                    static_cast<uint32_t>(packet_.size()));
    }
    if (written != static_cast<int>(packet_.size())) return Broke("the request could not be sent");
    due_.push_back(id);
    return true;
}

bool SftpWritePipe::ReadExactly(char* into, size_t size) {
    for (size_t got = 0; got < size;) {
        int read = 0;
        {
            const SftpSession::Call call(session_);
            read = ssh_channel_read(file_->sftp->channel, into + got,
                                    static_cast<uint32_t>(size - got), 0);
        }
        if (read <= 0) return false;
        got += static_cast<size_t>(read);
    }
    return true;
}

bool SftpWritePipe::TakeAnswer() {
    char head[9];
    if (!ReadExactly(head, sizeof head)) return Broke("the answer broke off");
    const uint32_t length = Get32(head);
    const auto type = static_cast<uint8_t>(head[4]);
    const uint32_t id = Get32(head + 5);
    if (length < 5 + 4 || length > kLongestAnswer) return Broke("an answer of no known form came");
    std::vector<char> rest(length - 5);
    if (!ReadExactly(rest.data(), rest.size())) return Broke("the answer broke off");
    if (type != kStatusAnswer || id != due_.front()) {
        return Broke("an answer to another request came");
    }
    due_.pop_front();
    const uint32_t code = Get32(rest.data());
    if (code == SSH_FX_OK) return true;
    std::string message;
    if (rest.size() >= 8) {
        const uint32_t size = Get32(rest.data() + 4);
        if (size <= rest.size() - 8) message.assign(rest.data() + 8, size);
    }
    if (!failed_) {
        session_.Refuse(what_, message.empty()
                                   ? "the server refused it (status " + std::to_string(code) + ")."
                                   : message + ".");
    }
    failed_ = true;
    return false;
}

bool SftpWritePipe::Broke(const std::string& reason) {
    if (!broken_) session_.Fail(what_, reason + ".");
    broken_ = true;
    failed_ = true;
    due_.clear();
    return false;
}

}  // namespace ravelmoor
