#include "core/journal/TrashRestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "core/engine/FdGuard.h"
#include "core/engine/FileEntry.h"
#include "core/journal/Journal.h"
#include "core/local/BelowRoot.h"
#include "core/local/FreedesktopTrash.h"

namespace ravelmoor {
namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr size_t kMaxInfoSize = size_t{64} * 1024;

RestoreOutcome NotInTrash() {
    return RestoreOutcome(RestoreStatus::NotInTrash);
}

std::string_view BaseName(std::string_view path) {
    return path.substr(path.rfind('/') + 1);
}

std::string_view Parent(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == 0 ? std::string_view("/") : path.substr(0, slash);
}

// An absolute path whose every level is a plain name.
bool IsCleanPath(std::string_view path) {
    if (path.size() < 2 || path[0] != '/' || path.back() == '/') return false;
    for (size_t start = 1; start <= path.size();) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view level = path.substr(start, end - start);
        if (level.empty() || level == "." || level == "..") return false;
        start = end + 1;
    }
    return true;
}

bool SameFolder(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A trash item, opened: its trash's files/ and info/ folders and its name.
struct OpenItem {
    FdGuard files;
    FdGuard info;
    std::string name;
    std::string top;  // the mount's top folder a relative Path= is below; empty: home trash
};

// Opens the trash `item` lies in, when it lies in one of this user's.
bool OpenTrashOf(const std::string& item, OpenItem& open) {
    if (!IsCleanPath(item)) return false;
    const std::string_view files = Parent(item);
    if (BaseName(files) != "files") return false;
    const std::string trash(Parent(files));
    const std::string uid = std::to_string(::geteuid());
    const std::string_view trashName = BaseName(trash);
    const std::string home = HomeTrashFolder();
    if (!home.empty() && SameFolder(trash, home)) {
        open.top.clear();
    } else if (trashName == ".Trash-" + uid) {
        open.top = Parent(trash);
    } else if (trashName == uid && BaseName(Parent(trash)) == ".Trash") {
        open.top = Parent(Parent(trash));
    } else {
        return false;
    }
    const FdGuard base(::open(trash.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st {};
    if (base.get() < 0 || ::fstat(base.get(), &st) != 0 || st.st_uid != ::geteuid()) return false;
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    open.files = FdGuard(::openat(base.get(), "files", kFlags));
    open.info = FdGuard(::openat(base.get(), "info", kFlags));
    open.name = BaseName(item);
    return open.files.get() >= 0 && open.info.get() >= 0;
}

// The original the info file of `open` names, as an absolute path.
bool ReadOrigin(const OpenItem& open, std::string& original) {
    const std::string infoName = open.name + std::string(kInfoSuffix);
    const FdGuard fd(::openat(open.info.get(), infoName.c_str(),
                              O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<size_t>(st.st_size) > kMaxInfoSize) {
        return false;
    }
    std::string text(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    text.resize(got);
    if (!text.starts_with("[Trash Info]\n")) return false;
    const size_t at = text.find("\nPath=");
    if (at == std::string::npos) return false;
    const size_t start = at + 6;
    const size_t end = text.find('\n', start);
    bool ok = false;
    std::string path = journal_text::DecodePercent(
        std::string_view(text).substr(start, end == std::string::npos ? end : end - start), ok);
    if (!ok || path.empty()) return false;
    if (path[0] != '/') {
        if (open.top.empty()) return false;  // the home trash names absolute paths
        path = (open.top == "/" ? std::string("/") : open.top + "/") + path;
    }
    original = std::move(path);
    return true;
}

// The absolute path of `relative` below `root` as the trash names it: the
// root's real path, then the levels below it.
bool PlaceOf(const std::string& root, std::string_view relative, std::string& place) {
    const FdGuard fd(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    place = PathOfHandle(fd.get());
    if (place.empty()) return false;
    if (place != "/") place += '/';
    place += relative;
    return true;
}

bool SameObject(const struct stat& st, const EntryFacts& kept) {
    const bool link = S_ISLNK(st.st_mode);
    const bool folder = S_ISDIR(st.st_mode);
    if (link != ((kept.attributes & kSymlinkAttribute) != 0) || folder != kept.IsFolder() ||
        (!link && !folder && !S_ISREG(st.st_mode))) {
        return false;
    }
    return (folder || static_cast<uint64_t>(st.st_size) == kept.size) &&
           st.st_mtim.tv_sec == kept.lastWrite &&
           static_cast<uint32_t>(st.st_mtim.tv_nsec) == kept.lastWriteNanoseconds;
}

RestoreOutcome Check(const std::string& trashItem, const std::string& root,
                     std::string_view relative, const EntryFacts& kept, OpenItem& open) {
    std::string original;
    std::string place;
    struct stat st {};
    if (!OpenTrashOf(trashItem, open) || !ReadOrigin(open, original) ||
        !PlaceOf(root, relative, place) || original != place ||
        ::fstatat(open.files.get(), open.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !SameObject(st, kept)) {
        return NotInTrash();
    }
    return {};
}

}  // namespace

RestoreOutcome CheckTrashItem(const std::string& trashItem, const std::string& root,
                              std::string_view relative, const EntryFacts& kept) {
    OpenItem open;
    return Check(trashItem, root, relative, kept, open);
}

RestoreOutcome RestoreFromTrash(const std::string& trashItem, const std::string& root,
                                std::string_view relative, const EntryFacts& kept) {
    OpenItem open;
    if (RestoreOutcome checked = Check(trashItem, root, relative, kept, open); !checked.Ok()) {
        return checked;
    }
    WriteOutcome reached;
    FdGuard folder;
    std::string name;
    if (!OpenParentBelow(root, relative, /*create=*/true, folder, name, reached)) {
        return RestoreOutcome(RestoreStatus::Failed, reached.reason);
    }
    if (::renameat2(open.files.get(), open.name.c_str(), folder.get(), name.c_str(),
                    RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) return RestoreOutcome(RestoreStatus::Exists, "something is there");
        return RestoreOutcome(RestoreStatus::Failed, ErrorText(errno));
    }
    ::unlinkat(open.info.get(), (open.name + std::string(kInfoSuffix)).c_str(), 0);
    return {};
}

}  // namespace ravelmoor
