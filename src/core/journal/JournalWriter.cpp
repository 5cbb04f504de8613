#include "core/journal/JournalWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "core/engine/Comparison.h"
#include "core/journal/JournalStore.h"
#include "core/local/BelowRoot.h"

namespace ravelmoor {
namespace {

std::string NewId(const timespec& now, unsigned attempt) {
    struct tm utc {};
    ::gmtime_r(&now.tv_sec, &utc);
    char text[48];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    std::string id = text;
    std::snprintf(text, sizeof text, "-%03ld", now.tv_nsec / 1000000);
    id += text;
    if (attempt > 0) id += "-" + std::to_string(attempt + 1);
    return id;
}

}  // namespace

JournalHeader JournalHeaderOf(const Comparison& comparison, std::string_view method) {
    JournalHeader header;
    header.method = method;
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) header.host = host;
    const SideProvider& sides = comparison.Sides();
    header.source = {comparison.SourceRoot(), comparison.SourceFolder(),
                     sides.IsLocal(Side::Source)};
    header.target = {comparison.TargetRoot(), comparison.TargetFolder(),
                     sides.IsLocal(Side::Target)};
    return header;
}

JournalWriter::~JournalWriter() = default;

JournalOutcome JournalWriter::Open(const JournalHeader& header) {
    const std::string folder = JournalStore::Folder();
    if (folder.empty()) {
        return JournalOutcome(
            JournalStatus::Unwritable,
            "Can not keep a journal of the synchronisation: neither XDG_STATE_HOME nor HOME "
            "names a folder.");
    }
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    JournalStore::Prune(now.tv_sec, JournalStore::kKeepCount - 1);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        id_ = NewId(now, attempt);
        path_ = JournalStore::PathOf(id_);
        fd_ = FdGuard(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (fd_.get() >= 0 || errno != EEXIST) break;
    }
    if (fd_.get() < 0) {
        return JournalOutcome(JournalStatus::Unwritable, "Can not write the journal \"" + path_ +
                                                             "\": " + ErrorText(errno) + ".");
    }
    header_ = header;
    header_.started = now.tv_sec;
    Write(journal_text::HeaderText(header_));
    if (!problem_.empty()) return JournalOutcome(JournalStatus::Unwritable, problem_);
    return {};
}

void JournalWriter::Write(const std::string& line) {
    if (fd_.get() < 0 || !problem_.empty()) return;
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd_.get(), line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            problem_ = "Can not write the journal \"" + path_ +
                       "\": " + ErrorText(n < 0 ? errno : ENOSPC) + ".";
            return;
        }
        done += static_cast<size_t>(n);
    }
}

void JournalWriter::NoteFolder(FileSystem& fs, bool target, const std::string& folderRoot,
                               const std::string& relative) {
    const size_t slash = relative.rfind('/');
    std::string parent = slash == std::string::npos ? std::string() : relative.substr(0, slash);
    if (!foldersNoted_.emplace(target, parent).second) return;
    JournalFolderTime folder;
    folder.target = target;
    folder.path = parent;
    const std::string full =
        parent.empty() ? folderRoot.substr(0, folderRoot.size() - 1) : folderRoot + parent;
    if (!fs.ReadFacts(full, folder.facts) || !folder.facts.IsFolder()) return;
    Write(journal_text::FolderTimeLine(folder));
}

size_t JournalWriter::Begin(ActionKind kind, FileSystem& fs, const std::string& root,
                            const std::string& path, bool exists, const EntryFacts& before,
                            const EntryFacts& expected) {
    if (fd_.get() < 0) return kNoAction;
    JournalRecord record;
    record.number = actions_.size();
    record.kind = kind;
    record.target = root == header_.target.folder;
    const JournalSide& side = record.target ? header_.target : header_.source;
    if (!path.starts_with(root) || path.size() <= root.size()) return kNoAction;
    record.path = path.substr(root.size());
    record.existed = exists;
    record.before = before;
    record.expected = expected;
    // The folder's own time changes with what is put into it or taken out.
    if (side.local) NoteFolder(fs, record.target, root, record.path);
    Write(journal_text::BeginLine(record));
    actions_.push_back({&fs, path});
    return record.number;
}

void JournalWriter::Trashed(size_t action, std::string_view trashPath) {
    if (action >= actions_.size() || trashPath.empty()) return;
    // What reached the trash, so that undo brings back that object and no other.
    EntryFacts facts;
    const bool read = actions_[action].fs->ReadFacts(std::string(trashPath), facts);
    Write(journal_text::TrashedLine(action, trashPath, read ? &facts : nullptr));
}

void JournalWriter::End(size_t action, bool done) {
    if (action >= actions_.size()) return;
    EntryFacts after;
    const bool exists = actions_[action].fs->ReadFacts(actions_[action].path, after);
    Write(journal_text::EndLine(action, done, exists, after));
}

void JournalWriter::Finish(std::string_view summary, JournalEnd end) {
    if (fd_.get() < 0) return;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    Write(journal_text::FinishLine(now.tv_sec, summary, end));
    if (problem_.empty() && ::fdatasync(fd_.get()) != 0) {
        problem_ = "Can not write the journal \"" + path_ + "\": " + ErrorText(errno) + ".";
    }
    fd_ = FdGuard();
}

}  // namespace ravelmoor
