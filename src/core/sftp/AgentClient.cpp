#include "core/sftp/AgentClient.h"

#include <libssh/libssh.h>

#include <chrono>
#include <vector>

#include "core/engine/FileEntry.h"
#include "core/sftp/AgentFields.h"
#include "core/sftp/SftpSession.h"

namespace ravelmoor {
namespace {

// A word for the server's shell, quoted so that it stays one word.
std::string ShellWord(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

}  // namespace

AgentClient::AgentClient(SftpSession& session) : session_(session) {}

AgentClient::~AgentClient() {
    if (channel_ == nullptr) return;
    if (!session_.Broken()) {
        // The agent ends when its input does, whatever it was still sending.
        const SftpSession::Call call(session_);
        ssh_channel_send_eof(channel_);
        ssh_channel_close(channel_);
    }
    ssh_channel_free(channel_);
}

AgentClient::Start AgentClient::Begin(const std::string& program, const std::string& folder) {
    std::string where = folder;
    while (where.size() > 1 && where.back() == '/')
        where.pop_back();
    what_ = "the listing agent in " + where;
    const std::string command = (program.empty() ? std::string("ravelmoor") : ShellWord(program)) +
                                " agent --dir " + ShellWord(where);
    {
        const SftpSession::Call call(session_);
        channel_ = ssh_channel_new(session_.Ssh());
        if (channel_ == nullptr || ssh_channel_open_session(channel_) != SSH_OK ||
            ssh_channel_request_exec(channel_, command.c_str()) != SSH_OK) {
            // A server that offers no command channel still offers SFTP.
            if (ssh_is_connected(session_.Ssh()) != 0 && !session_.Cancelled()) {
                return Start::Absent;
            }
            Broken("the connection was lost");
            return Start::Failed;
        }
    }
    // The command runs in the user's login shell, whose start-up files can
    // stall (a tool waiting on a lock): the side then goes on over plain
    // SFTP rather than waiting for the connection's whole timeout.
    const auto deadline = std::chrono::steady_clock::now() + kGreetingWait;
    for (;;) {
        const AgentDecoder::Step step = decoder_.Greeting(peerVersion_);
        if (step == AgentDecoder::Step::Bad) return Start::Absent;
        if (step == AgentDecoder::Step::Done) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return Start::Silent;
        std::vector<char> piece(4096);
        int got = 0;
        {
            const SftpSession::Call call(session_);
            got = ssh_channel_read_timeout(channel_, piece.data(),
                                           static_cast<uint32_t>(piece.size()), 0,
                                           static_cast<int>(left.count()));
        }
        if (got == 0 && ssh_channel_is_eof(channel_) == 0) continue;  // nothing yet
        if (got == 0) return Start::Absent;  // no such program: the shell said so and ended
        if (got < 0) {
            Broken("the connection was lost");
            return Start::Failed;
        }
        decoder_.Feed(std::string_view(piece.data(), static_cast<size_t>(got)));
    }
    return peerVersion_ >= kAgentOldestVersion && peerVersion_ <= kAgentVersion
               ? Start::Running
               : Start::OtherVersion;
}

bool AgentClient::Broken(const std::string& reason) {
    if (!failed_) session_.Fail("asking " + what_, reason);
    failed_ = true;
    return false;
}

bool AgentClient::Send() {
    std::string& buffer = encoder_.Buffer();
    size_t sent = 0;
    while (sent < buffer.size()) {
        int n = 0;
        {
            const SftpSession::Call call(session_);
            n = ssh_channel_write(channel_, buffer.data() + sent,
                                  static_cast<uint32_t>(buffer.size() - sent));
        }
        if (n <= 0) return Broken("the agent's stream broke off");
        sent += static_cast<size_t>(n);
    }
    buffer.clear();
    return true;
}

bool AgentClient::ReadMore() {
    static thread_local std::vector<char> piece(size_t{256} << 10);
    int got = 0;
    {
        const SftpSession::Call call(session_);
        got = ssh_channel_read(channel_, piece.data(), static_cast<uint32_t>(piece.size()), 0);
    }
    if (got == 0) return Broken("the agent's stream ended before its answer");
    if (got < 0) return Broken("the agent's stream broke off");
    decoder_.Feed(std::string_view(piece.data(), static_cast<size_t>(got)));
    return true;
}

bool AgentClient::TakeFrame() {
    if (failed_) return false;
    for (;;) {
        AgentFrame type{};
        std::string_view payload;
        const AgentDecoder::Step step = decoder_.Next(type, payload);
        if (step == AgentDecoder::Step::Done) return Take(type, payload);
        if (step == AgentDecoder::Step::Bad) {
            return Broken("the agent's stream is malformed: " + decoder_.Problem());
        }
        if (!ReadMore()) return false;
    }
}

bool AgentClient::Take(AgentFrame type, std::string_view payload) {
    AgentFields fields(payload);
    switch (type) {
        case AgentFrame::Folder:
            current_ = &folders_[std::string(payload)];
            *current_ = Folder();
            return true;
        case AgentFrame::Entries:
            if (current_ == nullptr) return Broken("the agent sent entries outside a folder");
            current_->entries.append(payload);
            return true;
        case AgentFrame::FolderEnd: {
            if (current_ == nullptr) return Broken("the agent ended a folder it had not started");
            const auto status = static_cast<AgentListed>(fields.Byte());
            current_->whyNot = std::string(fields.Rest());
            current_->done = true;
            if (status != AgentListed::Listed) {
                current_->listable = false;
                current_->entries.clear();
            }
            current_ = nullptr;
            return fields.Ok() || Broken("the agent sent a malformed folder end");
        }
        case AgentFrame::ListEnd:
            if (listsUnderWay_ == 0) return Broken("the agent ended a listing nobody asked for");
            --listsUnderWay_;
            return true;
        case AgentFrame::Summed: {
            const uint64_t id = fields.Varint();
            Answer answer;
            answer.summed = static_cast<AgentSummed>(fields.Byte()) == AgentSummed::Summed;
            answer.checksum = fields.Word();
            answer.bytes = fields.Varint();
            answer.whyNot = std::string(fields.Rest());
            const auto asked = asked_.find(id);
            if (!fields.Ok() || asked == asked_.end()) {
                return Broken("the agent sent a checksum nobody asked for");
            }
            pendingKeys_.erase(asked->second);
            answers_[asked->second] = std::move(answer);
            asked_.erase(asked);
            return true;
        }
        case AgentFrame::Identity: {
            const uint64_t id = fields.Varint();
            Identified identified;
            identified.known =
                static_cast<AgentIdentified>(fields.Byte()) == AgentIdentified::Known;
            identified.device = fields.Varint();
            identified.inode = fields.Varint();
            if (!fields.Ok() || identifying_.erase(id) == 0) {
                return Broken("the agent sent an identity nobody asked for");
            }
            identities_[id] = identified;
            return true;
        }
        case AgentFrame::Refusal:
            return Broken("the agent refused: " + std::string(payload));
        default:
            return Broken("the agent sent an unknown frame");
    }
}

ListStatus AgentClient::List(const std::string& folder, ListSink& sink, std::string& whyNot) {
    for (;;) {
        if (failed_) return ListStatus::Failed;
        const auto found = folders_.find(folder);
        if (found != folders_.end() && found->second.done) {
            const Folder listing = std::move(found->second);
            folders_.erase(found);
            if (!listing.listable) {
                whyNot = listing.whyNot;
                return ListStatus::NotListable;
            }
            AgentFields fields(listing.entries);
            DirEntryFacts facts;
            while (fields.Entry(facts)) {
                if (!sink.OnEntry(facts)) return ListStatus::Listed;
            }
            if (!fields.Ok()) {
                Broken("the agent sent a malformed listing of " + folder);
                return ListStatus::Failed;
            }
            return ListStatus::Listed;
        }
        if (found == folders_.end() && listsUnderWay_ == 0) {
            encoder_.List(folder, !treeAsked_);
            treeAsked_ = true;
            ++listsUnderWay_;
            if (!Send()) return ListStatus::Failed;
        }
        if (!TakeFrame()) return ListStatus::Failed;
    }
}

std::string AgentClient::SumKey(const std::string& path, uint64_t size, uint64_t limit) {
    return path + '\0' + std::to_string(size) + '\0' + std::to_string(limit);
}

void AgentClient::Expect(const std::string& path, uint32_t attributes, uint64_t size,
                         uint64_t limit) {
    std::string key = SumKey(path, size, limit);
    if (answers_.count(key) != 0 || !pendingKeys_.insert(key).second) return;
    encoder_.Sum(nextId_, attributes, size, limit, path);
    asked_.emplace(nextId_++, std::move(key));
}

bool AgentClient::SendExpected() {
    return !failed_ && Send();
}

AgentClient::Sum AgentClient::Checksum(const std::string& path, uint32_t attributes, uint64_t size,
                                       uint64_t limit, uint32_t& checksum, uint64_t& bytes,
                                       std::string& whyNot) {
    const std::string key = SumKey(path, size, limit);
    Expect(path, attributes, size, limit);
    if (!SendExpected()) return Sum::Failed;
    auto answer = answers_.find(key);
    while (answer == answers_.end()) {
        if (!TakeFrame()) return Sum::Failed;
        answer = answers_.find(key);
    }
    const Answer taken = std::move(answer->second);
    answers_.erase(answer);
    checksum = taken.checksum;
    bytes = taken.bytes;
    whyNot = taken.whyNot;
    return taken.summed ? Sum::Summed : Sum::Unreadable;
}

bool AgentClient::Identity(const std::string& path, uint64_t& device, uint64_t& inode) {
    // The first version's agent knows no identities.
    if (failed_ || peerVersion_ < 2) return false;
    const uint64_t id = nextId_++;
    encoder_.Identify(id, path);
    identifying_.insert(id);
    if (!Send()) return false;
    auto answer = identities_.find(id);
    while (answer == identities_.end()) {
        if (!TakeFrame()) return false;
        answer = identities_.find(id);
    }
    const Identified taken = answer->second;
    identities_.erase(answer);
    device = taken.device;
    inode = taken.inode;
    return taken.known;
}

}  // namespace ravelmoor
