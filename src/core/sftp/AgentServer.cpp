#include "core/sftp/AgentServer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/engine/Checksum.h"
#include "core/engine/FileEntry.h"
#include "core/sftp/AgentDecoder.h"
#include "core/sftp/AgentFields.h"

namespace ravelmoor {
namespace {

// Output is written in pieces of about this size while a long listing runs.
constexpr size_t kSendSize = size_t{256} << 10;

// Encodes a folder's children and keeps its sub-folders for later.
class EncodingSink : public ListSink {
  public:
    EncodingSink(AgentEncoder& encoder, std::vector<std::string>& folders,
                 const std::string& prefix)
        : encoder_(encoder), folders_(folders), prefix_(prefix) {}
    bool OnEntry(const DirEntryFacts& facts) override {
        encoder_.Entry(facts);
        if ((facts.attributes & kFolderAttribute) != 0) {
            folders_.push_back(prefix_ + std::string(facts.name));
        }
        return true;
    }

  private:
    AgentEncoder& encoder_;
    std::vector<std::string>& folders_;
    const std::string& prefix_;
};

uint32_t AttributesOf(uint8_t kind) {
    switch (static_cast<AgentKind>(kind)) {
        case AgentKind::Folder:
            return kFolderAttribute;
        case AgentKind::Link:
            return kSymlinkAttribute;
        default:
            return 0;
    }
}

}  // namespace

AgentServer::AgentServer(std::string folder, int in, int out)
    : root_(std::move(folder)), in_(in), out_(out) {
    if (root_.empty() || root_.back() != '/') root_ += '/';
}

bool AgentServer::Send(size_t atLeast) {
    std::string& buffer = encoder_.Buffer();
    if (buffer.size() < atLeast || buffer.empty()) return true;
    size_t sent = 0;
    while (sent < buffer.size()) {
        const ssize_t n = ::write(out_, buffer.data() + sent, buffer.size() - sent);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    buffer.clear();
    return true;
}

int AgentServer::Serve() {
    encoder_.Greeting();
    if (!Send()) return 1;
    AgentDecoder decoder;
    std::vector<char> piece(size_t{64} << 10);
    for (;;) {
        const ssize_t got = ::read(in_, piece.data(), piece.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return decoder.Pending() == 0 ? 0 : 1;
        decoder.Feed(std::string_view(piece.data(), static_cast<size_t>(got)));
        AgentFrame type{};
        std::string_view payload;
        AgentDecoder::Step step;
        while ((step = decoder.Next(type, payload)) == AgentDecoder::Step::Done) {
            if (!Answer(type, payload)) {
                Send();
                return 1;
            }
        }
        if (step == AgentDecoder::Step::Bad) {
            encoder_.Refusal("the request stream is malformed: " + decoder.Problem());
            Send();
            return 1;
        }
        // Everything asked so far is answered: the client may be waiting for it.
        if (!Send()) return 1;
    }
}

bool AgentServer::Answer(AgentFrame type, std::string_view payload) {
    AgentFields fields(payload);
    switch (type) {
        case AgentFrame::List:
            return List(fields);
        case AgentFrame::Sum:
            Sum(fields);
            break;
        case AgentFrame::Identify:
            Identify(fields);
            break;
        default:
            encoder_.Refusal("unknown request type " + std::to_string(static_cast<int>(type)));
            return false;
    }
    if (!fields.Ok()) {
        encoder_.Refusal("a request is malformed");
        return false;
    }
    return Send(kSendSize);
}

bool AgentServer::List(AgentFields& fields) {
    const bool recursive = (fields.Byte() & kAgentRecursive) != 0;
    const std::string_view start = fields.Rest();
    if (!fields.Ok()) {
        encoder_.Refusal("a listing request is malformed");
        return false;
    }
    // Depth first, each folder before its sub-folders, in listing order.
    std::vector<std::string> pending{std::string(start)};
    std::vector<std::string> found;
    std::string prefix;
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        prefix = folder.empty() ? std::string() : folder + "/";
        const std::string full = root_ + prefix;
        encoder_.Folder(folder);
        found.clear();
        EncodingSink sink(encoder_, found, prefix);
        const ListOutcome listed = fs_.ListFolder(full, sink);
        if (listed.Ok()) {
            encoder_.FolderEnd(AgentListed::Listed, {});
        } else {
            // A listing that broke off says so: the client drops what came.
            encoder_.FolderEnd(AgentListed::NotListable, listed.reason);
            found.clear();
        }
        if (recursive) {
            // Reversed, so that the first listed is taken first.
            for (size_t k = found.size(); k > 0; --k)
                pending.push_back(std::move(found[k - 1]));
        }
        if (!Send(kSendSize)) return false;
    }
    encoder_.ListEnd();
    return true;
}

void AgentServer::Sum(AgentFields& fields) {
    const uint64_t id = fields.Varint();
    const uint8_t kind = fields.Byte();
    const uint64_t size = fields.Varint();
    const uint64_t limit = fields.Varint();
    const std::string_view path = fields.Rest();
    if (!fields.Ok()) return;
    FileEntry entry;
    entry.path = path;
    entry.attributes = AttributesOf(kind);
    entry.size = size;
    errno = 0;
    if (ComputeChecksum(entry, fs_, root_, limit, nullptr, nullptr)) {
        encoder_.Summed(id, AgentSummed::Summed, entry.checksum, entry.checksumBytes, {});
        return;
    }
    const int error = errno;
    EntryFacts now;
    std::string reason;
    if (!fs_.ReadFacts(entry.FullPath(root_), now)) {
        reason = "it is no longer there";
    } else if (now.size < size) {
        reason = "it is shorter than when it was listed";
    } else {
        reason = error != 0 ? std::strerror(error) : "it could not be read";
    }
    encoder_.Summed(id, AgentSummed::Unreadable, entry.checksum, entry.checksumBytes, reason);
}

void AgentServer::Identify(AgentFields& fields) {
    const uint64_t id = fields.Varint();
    const std::string path = root_ + std::string(fields.Rest());
    if (!fields.Ok()) return;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        encoder_.Identity(id, AgentIdentified::Gone, 0, 0);
        return;
    }
    encoder_.Identity(id, AgentIdentified::Known, st.st_dev, st.st_ino);
}

}  // namespace ravelmoor
