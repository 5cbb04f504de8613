#include "core/sftp/SftpFileSystem.h"

#include <fcntl.h>
#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <vector>

#include "core/engine/Checksum.h"
#include "core/engine/FileEntry.h"
#include "core/engine/Prompter.h"
#include "core/sftp/AgentClient.h"
#include "core/sftp/AgentProtocol.h"

namespace ravelmoor {
namespace {

// Reads a server file with several requests in flight, so that a checksum
// is not one round trip per piece. libssh 0.10 has no sftp_aio_* calls yet;
// its sftp_async_read_begin / sftp_async_read pair does the same: each begin
// asks for the next piece at the file's offset and moves the offset on.
class SftpFileReader : public FileReader {
  public:
    static constexpr uint32_t kPiece = 32768;
    static constexpr size_t kInFlight = 16;

    SftpFileReader(SftpSession& session, sftp_file file, uint64_t size, std::string path,
                   std::function<void()> onFailure)
        : session_(session),
          file_(file),
          expected_(size),
          path_(std::move(path)),
          onFailure_(std::move(onFailure)),
          piece_(kPiece) {}
    ~SftpFileReader() override {
        if (!session_.Broken()) Drain();
        const SftpSession::Call call(session_);
        sftp_close(file_);
    }
    SftpFileReader(const SftpFileReader&) = delete;
    SftpFileReader& operator=(const SftpFileReader&) = delete;

    int64_t Read(char* buffer, size_t capacity) override {
        while (taken_ == held_) {
            if (failed_) return -1;
            if (atEnd_) return 0;
            if (!Fill()) return -1;
        }
        const size_t n = std::min(capacity, held_ - taken_);
        std::memcpy(buffer, piece_.data() + taken_, n);
        taken_ += n;
        return static_cast<int64_t>(n);
    }

  private:
    struct Request {
        uint32_t id;
        uint64_t offset;
    };

    bool Fill() {
        // Asks ahead up to the size the file had, and always for one piece
        // more than is known, so that the end (or growth) shows.
        while (requests_.size() < kInFlight && (next_ < expected_ || requests_.empty())) {
            int id = 0;
            {
                const SftpSession::Call call(session_);
                id = sftp_async_read_begin(file_, kPiece);
            }
            if (id < 0) return Fail();
            requests_.push_back({static_cast<uint32_t>(id), next_});
            next_ += kPiece;
        }
        const Request request = requests_.front();
        requests_.pop_front();
        int got = 0;
        {
            const SftpSession::Call call(session_);
            got = sftp_async_read(file_, piece_.data(), kPiece, request.id);
        }
        if (got < 0) return Fail();
        held_ = static_cast<size_t>(got);
        taken_ = 0;
        if (got == 0) {
            atEnd_ = true;
            Drain();
        } else if (static_cast<uint32_t>(got) < kPiece) {
            // A short answer before the end: the requests behind it asked for
            // the wrong bytes. They are read and dropped, and reading goes on
            // from where this one stopped.
            Drain();
            next_ = request.offset + static_cast<uint64_t>(got);
            sftp_seek64(file_, next_);
        }
        return true;
    }

    // Takes the answers still due, so that none is left queued in libssh.
    void Drain() {
        std::vector<char> scratch(kPiece);
        while (!requests_.empty()) {
            const Request request = requests_.front();
            requests_.pop_front();
            const SftpSession::Call call(session_);
            if (sftp_async_read(file_, scratch.data(), kPiece, request.id) < 0) break;
        }
        requests_.clear();
    }

    bool Fail() {
        failed_ = true;
        requests_.clear();
        session_.Problem("reading the file " + path_);
        onFailure_();
        return false;
    }

    SftpSession& session_;
    sftp_file file_;
    uint64_t expected_;
    std::string path_;
    std::function<void()> onFailure_;
    std::deque<Request> requests_;
    uint64_t next_ = 0;
    std::vector<char> piece_;
    size_t held_ = 0;
    size_t taken_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

}  // namespace

SftpFileSystem::SftpFileSystem(std::unique_ptr<SftpSession> session, Prompter& prompter)
    : SftpFolderWriter(std::move(session), prompter), guard_(prompter) {}

SftpFileSystem::~SftpFileSystem() = default;

bool SftpFileSystem::UsesAgent() {
    if (agentTried_) return agent_ != nullptr;
    agentTried_ = true;
    // Only when the connection asks for it: every try starts the user's login
    // shell on the server, whose start-up files are not ours to run unasked.
    if (session_->Broken() || session_->Connection().agentPath.empty()) return false;
    auto agent = std::make_unique<AgentClient>(*session_);
    switch (agent->Begin(session_->Connection().agentPath, session_->HomeFolder())) {
        case AgentClient::Start::Running:
            agent_ = std::move(agent);
            return true;
        case AgentClient::Start::OtherVersion:
            UserPrompter().Notify(
                "The ravelmoor agent on " + session_->HostText() + " speaks protocol version " +
                std::to_string(agent->PeerVersion()) + ", this program version " +
                std::to_string(kAgentVersion) + ": the folder is read over plain SFTP.");
            return false;
        case AgentClient::Start::Silent:
            UserPrompter().Notify("The listing agent on " + session_->HostText() +
                                  " did not answer within " +
                                  std::to_string(AgentClient::kGreetingWait.count()) +
                                  " seconds: the folder is read over plain SFTP.");
            return false;
        case AgentClient::Start::Absent:
            return false;
        case AgentClient::Start::Failed:
            Report();
            return false;
    }
    return false;
}

bool SftpFileSystem::ReadIdentity(const std::string& path, uint64_t& device, uint64_t& inode) {
    std::string relative;
    if (session_->Broken() || !AgentPathOf(ServerPath(path), relative)) return false;
    return agent_->Identity(relative, device, inode);
}

bool SftpFileSystem::AgentPathOf(const std::string& serverPath, std::string& relative) {
    const std::string& home = session_->HomeFolder();
    if (serverPath.compare(0, home.size(), home) != 0 && serverPath + "/" != home) return false;
    if (!UsesAgent()) return false;
    relative = serverPath.size() > home.size() ? serverPath.substr(home.size()) : std::string();
    while (!relative.empty() && relative.back() == '/')
        relative.pop_back();
    return true;
}

InPlaceSum SftpFileSystem::SumInPlace(FileEntry& entry, std::string_view folder, uint64_t limit) {
    std::string relative;
    if (session_->Broken() || !AgentPathOf(ServerPath(entry.FullPath(folder)), relative)) {
        return InPlaceSum::NotHere;
    }
    std::string whyNot;
    switch (agent_->Checksum(relative, entry.attributes, entry.size, limit, entry.checksum,
                             entry.checksumBytes, whyNot)) {
        case AgentClient::Sum::Summed:
            return InPlaceSum::Summed;
        case AgentClient::Sum::Unreadable:
            return InPlaceSum::Unreadable;
        case AgentClient::Sum::Failed:
            Report();
            return InPlaceSum::Unreadable;
    }
    return InPlaceSum::Unreadable;
}

void SftpFileSystem::ExpectSums(const std::vector<const FileEntry*>& entries,
                                std::string_view folder, uint64_t limit) {
    if (session_->Broken()) return;
    std::string relative;
    for (const FileEntry* entry : entries) {
        if (ChecksumByteCount(entry->size, limit) == 0) continue;  // never read
        if (AgentPathOf(ServerPath(entry->FullPath(folder)), relative)) {
            agent_->Expect(relative, entry->attributes, entry->size, limit);
        }
    }
    if (agent_ && !agent_->SendExpected()) Report();
}

void SftpFileSystem::Interrupt() {
    session_->Interrupt();
}

ListOutcome SftpFileSystem::NotListed() const {
    const std::string& text = session_->ErrorText();
    return ListOutcome(ListStatus::NotListable,
                       text.empty() ? std::string("the server does not list it") : text);
}

ListOutcome SftpFileSystem::ListFolder(const std::string& folder, ListSink& sink) {
    std::string serverFolder = ServerPath(folder);
    if (serverFolder.empty() || serverFolder.back() != '/') serverFolder += '/';
    const std::string what = "listing the folder " + serverFolder;
    if (session_->Broken()) return ListOutcome(ListStatus::Failed);
    if (ListOutcome admitted = guard_.Admit(serverFolder); !admitted.Ok()) return admitted;
    ListingGuard::Sink guarded(guard_, serverFolder, sink);
    std::string relative;
    if (AgentPathOf(serverFolder, relative)) {
        std::string whyNot;
        const ListStatus status = agent_->List(relative, guarded, whyNot);
        if (status == ListStatus::NotListable) {
            return ListOutcome(status, whyNot.empty() ? std::string("the server does not list it")
                                                      : std::move(whyNot));
        }
        if (status == ListStatus::Failed) return ListOutcome(status, Report());
        guarded.Finish();
        return {};
    }
    sftp_dir dir = nullptr;
    {
        const SftpSession::Call call(*session_);
        dir = sftp_opendir(session_->Sftp(), serverFolder.c_str());
    }
    if (dir == nullptr) {
        const SftpOutcome outcome = session_->Problem(what);
        if (outcome == SftpOutcome::Refused) return NotListed();
        return ListOutcome(ListStatus::Failed, Report());
    }
    bool stopped = false;
    for (;;) {
        Attributes entry;
        {
            const SftpSession::Call call(*session_);
            entry.reset(sftp_readdir(session_->Sftp(), dir));
        }
        if (!entry) break;
        const char* name = entry->name;
        if (name == nullptr || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
            continue;
        }
        DirEntryFacts facts;
        facts.name = name;
        if (!AttributesOf(*entry, facts.attributes)) continue;
        if ((facts.attributes & kFolderAttribute) == 0) {
            facts.size = entry->size;
            facts.lastWrite = entry->mtime;
        }
        if (!guarded.OnEntry(facts)) {
            stopped = true;
            break;
        }
    }
    const bool complete = stopped || sftp_dir_eof(dir) != 0;
    {
        const SftpSession::Call call(*session_);
        sftp_closedir(dir);
    }
    if (complete) {
        if (!stopped) guarded.Finish();
        return {};
    }
    // The listing broke off: what was handed over cannot be trusted to be all.
    const SftpOutcome outcome = session_->Problem(what);
    if (outcome == SftpOutcome::Refused) return NotListed();
    return ListOutcome(ListStatus::Failed, Report());
}

bool SftpFileSystem::ReadFacts(const std::string& path, EntryFacts& facts) {
    std::string serverPath = ServerPath(path);
    while (serverPath.size() > 1 && serverPath.back() == '/')
        serverPath.pop_back();
    return !serverPath.empty() && Look(serverPath, facts) == SftpOutcome::Done;
}

std::unique_ptr<FileReader> SftpFileSystem::OpenForReading(const std::string& path,
                                                           uint32_t attributes) {
    const std::string serverPath = ServerPath(path);
    if (session_->Broken()) return nullptr;
    if ((attributes & kSymlinkAttribute) != 0) {
        char* text = nullptr;
        {
            const SftpSession::Call call(*session_);
            text = sftp_readlink(session_->Sftp(), serverPath.c_str());
        }
        if (text == nullptr) {
            session_->Problem("reading the link " + serverPath);
            Report();
            return nullptr;
        }
        std::string linkText(text);
        ssh_string_free_char(text);
        return TextReader(std::move(linkText));
    }
    // What was listed as a file must still be one: a link now would be followed.
    EntryFacts facts;
    const SftpOutcome looked = Look(serverPath, facts);
    if (looked != SftpOutcome::Done || facts.attributes != 0) {
        if (looked == SftpOutcome::Refused) Report();
        return nullptr;
    }
    sftp_file file = nullptr;
    {
        const SftpSession::Call call(*session_);
        file = sftp_open(session_->Sftp(), serverPath.c_str(), O_RDONLY, 0);
    }
    if (file == nullptr) {
        session_->Problem("opening the file " + serverPath);
        Report();
        return nullptr;
    }
    return std::make_unique<SftpFileReader>(*session_, file, facts.size, serverPath,
                                            [this] { Report(); });
}

}  // namespace ravelmoor
