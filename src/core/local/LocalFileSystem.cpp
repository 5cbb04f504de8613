#include "core/local/LocalFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/engine/FdGuard.h"
#include "core/engine/FileEntry.h"
#include "core/engine/FolderCache.h"
#include "core/local/BelowRoot.h"
#include "core/local/CaseIgnoringFolder.h"
#include "core/local/FreedesktopTrash.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// Attributes for what lstat says; false for the kinds we never list.
bool AttributesFromMode(mode_t mode, uint32_t& attributes) {
    if (S_ISREG(mode)) {
        attributes = 0;
    } else if (S_ISDIR(mode)) {
        attributes = kFolderAttribute;
    } else if (S_ISLNK(mode)) {
        attributes = kSymlinkAttribute;
    } else {
        return false;  // FIFOs, sockets and devices are never opened
    }
    return true;
}

class LocalFileReader : public FileReader {
  public:
    explicit LocalFileReader(int fd) : fd_(fd) {}
    int NativeHandle() const override { return fd_.get(); }
    int64_t Read(char* buffer, size_t capacity) override {
        for (;;) {
            const ssize_t n = ::read(fd_.get(), buffer, capacity);
            if (n >= 0) return n;
            if (errno != EINTR) return -1;
        }
    }

  private:
    FdGuard fd_;
};

// The text of the link `path` in the folder `at` (AT_FDCWD for a whole path;
// an empty path with the link's own handle).
bool ReadLinkText(int at, const std::string& path, std::string& text) {
    text.resize(256);
    for (;;) {
        const ssize_t n = ::readlinkat(at, path.c_str(), text.data(), text.size());
        if (n < 0) return false;
        if (static_cast<size_t>(n) < text.size()) {
            text.resize(static_cast<size_t>(n));
            return true;
        }
        text.resize(text.size() * 2);
    }
}

// A trash folder in the top folder of a mount, or the user's home trash: its
// content is no part of any tree that is compared, and a sync must never
// move it into the trash again. Only asked for the rare names that could be one.
class TrashFolders {
  public:
    explicit TrashFolders(int folder) : folder_(folder) {}

    bool IsTrash(const char* name) {
        const bool top = IsTopTrashName(name);
        if (!top && std::strcmp(name, "Trash") != 0) return false;
        struct stat st {};
        if (::fstatat(folder_, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode)) {
            return false;
        }
        return top ? IsMountTop() : IsHomeTrash(name);
    }

  private:
    bool IsMountTop() {
        struct stat here {};
        struct stat up {};
        if (::fstat(folder_, &here) != 0 || ::fstatat(folder_, "..", &up, 0) != 0) return false;
        return here.st_dev != up.st_dev || here.st_ino == up.st_ino;
    }

    bool IsHomeTrash(const char* name) {
        const char* dataHome = std::getenv("XDG_DATA_HOME");
        const char* home = std::getenv("HOME");
        std::string trash;
        if (dataHome != nullptr && dataHome[0] == '/') {
            trash = std::string(dataHome) + "/Trash";
        } else if (home != nullptr && home[0] == '/') {
            trash = std::string(home) + "/.local/share/Trash";
        } else {
            return false;
        }
        struct stat listed {};
        struct stat own {};
        return ::fstatat(folder_, name, &listed, AT_SYMLINK_NOFOLLOW) == 0 &&
               ::stat(trash.c_str(), &own) == 0 && listed.st_dev == own.st_dev &&
               listed.st_ino == own.st_ino;
    }

    int folder_;
};

bool FactsOf(const struct stat& st, EntryFacts& facts) {
    if (!AttributesFromMode(st.st_mode, facts.attributes)) return false;
    const bool folder = facts.IsFolder();
    facts.size = folder ? 0 : static_cast<uint64_t>(st.st_size);
    facts.lastWrite = st.st_mtim.tv_sec;
    facts.lastWriteNanoseconds = static_cast<uint32_t>(st.st_mtim.tv_nsec);
    facts.mode = st.st_mode & 07777;
    return true;
}

// A reader of the open file `fd`, when it is a regular file.
std::unique_ptr<FileReader> ReaderOf(FdGuard fd) {
    if (fd.get() < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    // O_NONBLOCK has no effect on a regular file, so it can stay. Read-ahead
    // advice pays only for files larger than the kernel reads ahead anyway.
    constexpr off_t kAdviseFrom = off_t{1} << 20;
    if (st.st_size >= kAdviseFrom) ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<LocalFileReader>(fd.release());
}

}  // namespace

ListOutcome LocalFileSystem::ListFolder(const std::string& folder, ListSink& sink) {
    FdGuard dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) return ListOutcome(ListStatus::NotListable, ErrorText(errno));

    // One buffer per thread: the listing never recurses inside this call.
    constexpr size_t kBufferSize = size_t{64} * 1024;
    alignas(alignof(dirent64)) thread_local char buffer[kBufferSize];

    for (;;) {
        const ssize_t got = ::getdents64(dir.get(), buffer, kBufferSize);
        if (got < 0) {
            if (errno == EINTR) continue;
            return ListOutcome(
                ListStatus::NotListable,
                FillIn(QCoreApplication::translate("LocalFileSystem", "it can not be read")));
        }
        if (got == 0) break;
        for (ssize_t pos = 0; pos < got;) {
            const auto* d = reinterpret_cast<const dirent64*>(buffer + pos);
            pos += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                continue;
            }
            DirEntryFacts facts;
            facts.name = name;
            if ((d->d_type == DT_DIR || d->d_type == DT_UNKNOWN) &&
                (name[0] == '.' || name[0] == 'T') && TrashFolders(dir.get()).IsTrash(name)) {
                continue;
            }
            if (d->d_type == DT_DIR) {
                // A folder's own size and time take no part in a comparison,
                // so it costs no stat call.
                facts.attributes = kFolderAttribute;
            } else if (d->d_type == DT_REG || d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
                struct stat st {};
                if (::fstatat(dir.get(), name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
                if (!AttributesFromMode(st.st_mode, facts.attributes)) continue;
                if ((facts.attributes & kFolderAttribute) == 0) {
                    facts.size = static_cast<uint64_t>(st.st_size);
                    facts.lastWrite = st.st_mtim.tv_sec;
                }
            } else {
                continue;  // FIFO, socket, device
            }
            if (!sink.OnEntry(facts)) return {};
        }
    }
    return {};
}

bool LocalFileSystem::IgnoresCase(const std::string& folder) {
    return FolderIgnoresCase(folder);
}

bool LocalFileSystem::ReadFacts(const std::string& path, EntryFacts& facts) {
    struct stat st {};
    if (::fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return FactsOf(st, facts);
}

bool LocalFileSystem::ReadFactsBelow(const std::string& root, std::string_view relative,
                                     EntryFacts& facts) {
    const FdGuard top(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (top.get() < 0) return false;
    const FdGuard object(OpenBeneath(top.get(), relative, O_PATH | O_NOFOLLOW));
    struct stat st {};
    if (object.get() < 0 || ::fstat(object.get(), &st) != 0) return false;
    return FactsOf(st, facts);
}

std::unique_ptr<FileReader> LocalFileSystem::OpenBelow(const std::string& root,
                                                       std::string_view relative,
                                                       uint32_t attributes) {
    const FdGuard top(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (top.get() < 0) return nullptr;
    if ((attributes & kSymlinkAttribute) != 0) {
        // The link itself, reached with no link followed on the way.
        const FdGuard link(OpenBeneath(top.get(), relative, O_PATH | O_NOFOLLOW));
        std::string text;
        if (link.get() < 0 || !ReadLinkText(link.get(), "", text)) return nullptr;
        return TextReader(std::move(text));
    }
    return ReaderOf(
        FdGuard(OpenBeneath(top.get(), relative, O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK)));
}

std::unique_ptr<FileReader> LocalFileSystem::OpenForReading(const std::string& path,
                                                            uint32_t attributes) {
    if ((attributes & kSymlinkAttribute) != 0) {
        std::string text;
        if (!ReadLinkText(AT_FDCWD, path, text)) return nullptr;
        return TextReader(std::move(text));
    }
    // O_NOFOLLOW: a file that became a link since the listing is not read
    // through; O_NONBLOCK: one that became a FIFO cannot block the run.
    return ReaderOf(FdGuard(
        FolderCache::Open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK)));
}

}  // namespace ravelmoor
