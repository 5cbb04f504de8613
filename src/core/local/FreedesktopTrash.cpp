#include "core/local/FreedesktopTrash.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/engine/FdGuard.h"
#include "core/local/BelowRoot.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr const char* kInfoSuffix = ".trashinfo";
constexpr size_t kInfoSuffixLength = 10;

bool Cancelled(const std::atomic<int32_t>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0;
}

// Makes `name` in `parent` as a private folder (if missing) and opens it,
// never through a link, and only when it belongs to this user.
FdGuard OpenOwnFolder(int parent, const char* name) {
    if (::mkdirat(parent, name, 0700) != 0 && errno != EEXIST) return FdGuard();
    FdGuard fd(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) return FdGuard();
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || st.st_uid != ::geteuid()) return FdGuard();
    return fd;
}

struct Trash {
    FdGuard files;
    FdGuard info;
    std::string topFolder;  // empty for the home trash, whose paths are absolute
};

bool OpenTrashParts(FdGuard base, std::string topFolder, Trash& trash) {
    if (base.get() < 0) return false;
    trash.files = OpenOwnFolder(base.get(), "files");
    trash.info = OpenOwnFolder(base.get(), "info");
    trash.topFolder = std::move(topFolder);
    return trash.files.get() >= 0 && trash.info.get() >= 0;
}

}  // namespace

std::string PathOfHandle(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink(link, path.data(), path.size());
    if (n <= 0 || static_cast<size_t>(n) >= path.size() || path[0] != '/') return {};
    path.resize(static_cast<size_t>(n));
    return path;
}

std::string HomeTrashFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') return std::string(dataHome) + "/Trash";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/.local/share/Trash";
}

namespace {

// Makes every missing folder of the absolute path `path`, private to the user.
FdGuard MakeFolders(const std::string& path) {
    FdGuard at(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    size_t start = 1;
    while (at.get() >= 0 && start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string level = path.substr(start, end - start);
        start = end + 1;
        if (level.empty()) continue;
        if (::mkdirat(at.get(), level.c_str(), 0700) != 0 && errno != EEXIST) return FdGuard();
        at = FdGuard(::openat(at.get(), level.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    return at;
}

// The top folder of the mount that holds `folder` (an absolute path): the
// highest folder above it on the same device.
std::string TopFolderOf(const std::string& folder, dev_t device) {
    std::string top = folder;
    while (top != "/") {
        const size_t slash = top.rfind('/');
        const std::string up = slash == 0 ? std::string("/") : top.substr(0, slash);
        struct stat st {};
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != device) break;
        top = up;
    }
    return top;
}

// The device of the home trash, or of the nearest folder above it that
// exists, so that the home file system is known even where the trash
// cannot be made.
bool HomeTrashDevice(const std::string& homeTrash, dev_t& device) {
    std::string path = homeTrash;
    while (!path.empty()) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            device = st.st_dev;
            return true;
        }
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos) break;
        path =
            slash == 0 ? (path == "/" ? std::string() : std::string("/")) : path.substr(0, slash);
    }
    return false;
}

enum class TrashFound { Found, NoHomeTrash, NoTopTrash };

TrashFound FindTrash(int folder, const std::string& folderPath, Trash& trash) {
    struct stat object {};
    if (::fstat(folder, &object) != 0) return TrashFound::NoTopTrash;
    const std::string homeTrash = HomeTrashFolder();
    dev_t homeDevice = 0;
    if (!homeTrash.empty() && HomeTrashDevice(homeTrash, homeDevice) &&
        homeDevice == object.st_dev) {
        // A file on the home file system goes to the home trash or nowhere.
        FdGuard home = MakeFolders(homeTrash);
        struct stat st {};
        if (home.get() >= 0 && ::fstat(home.get(), &st) == 0 && st.st_dev == object.st_dev &&
            OpenTrashParts(std::move(home), {}, trash)) {
            return TrashFound::Found;
        }
        return TrashFound::NoHomeTrash;
    }
    if (folderPath.empty()) return TrashFound::NoTopTrash;
    const std::string top = TopFolderOf(folderPath, object.st_dev);
    FdGuard topFd(::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (topFd.get() < 0) return TrashFound::NoTopTrash;
    const std::string uid = std::to_string(::geteuid());
    struct stat shared {};
    if (::fstatat(topFd.get(), ".Trash", &shared, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(shared.st_mode) && (shared.st_mode & S_ISVTX) != 0) {
        FdGuard sharedFd(
            ::openat(topFd.get(), ".Trash", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (sharedFd.get() >= 0 &&
            OpenTrashParts(OpenOwnFolder(sharedFd.get(), uid.c_str()), top, trash)) {
            return TrashFound::Found;
        }
    }
    return OpenTrashParts(OpenOwnFolder(topFd.get(), (".Trash-" + uid).c_str()), top, trash)
               ? TrashFound::Found
               : TrashFound::NoTopTrash;
}

bool WriteAllTo(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

uint32_t RandomSalt() {
    uint32_t salt = 0;
    if (::getrandom(&salt, sizeof salt, 0) != sizeof salt) {
        salt = static_cast<uint32_t>(std::time(nullptr)) ^ static_cast<uint32_t>(::getpid());
    }
    return salt;
}

// Moves `name` from `folder` to `to` in `files`, only where nothing is there.
int RenameNoReplace(int folder, const std::string& name, int files, const std::string& to) {
    if (::renameat2(folder, name.c_str(), files, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without RENAME_NOREPLACE: the info file holds the name,
    // so only a stray object in files/ can be in the way.
    struct stat st {};
    if (::fstatat(files, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
    return ::renameat(folder, name.c_str(), files, to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

std::string PercentEncodePath(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const bool plain = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
                           (b >= '0' && b <= '9') || b == '-' || b == '_' || b == '.' || b == '~' ||
                           b == '/';
        if (plain) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        }
    }
    return out;
}

std::string TrashInfoText(std::string_view encodedPath, std::time_t when) {
    struct tm local {};
    ::localtime_r(&when, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::string text = "[Trash Info]\nPath=";
    text.append(encodedPath).append("\nDeletionDate=").append(date).append("\n");
    return text;
}

std::string TrashCandidateName(std::string_view name, unsigned attempt, size_t maxLength,
                               uint32_t salt) {
    std::string_view stem = name;
    std::string_view extension;
    std::string tag;
    if (attempt > 0) {
        const size_t dot = name.rfind('.');
        // A short extension stays last; a leading dot is part of the stem.
        if (dot != std::string_view::npos && dot > 0 && name.size() - dot <= 16) {
            stem = name.substr(0, dot);
            extension = name.substr(dot);
        }
        char text[16];
        if (attempt < kNumberedTrashNames) {
            std::snprintf(text, sizeof text, ".%u", attempt + 1);
        } else {
            std::snprintf(text, sizeof text, ".%08X", salt);
        }
        tag = text;
    }
    const size_t fixed = tag.size() + extension.size();
    if (fixed >= maxLength) extension = {};
    size_t keep = stem.size();
    const size_t room =
        maxLength > tag.size() + extension.size() ? maxLength - tag.size() - extension.size() : 0;
    if (keep > room) {
        keep = room;
        // Do not cut a UTF-8 character in two.
        while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
            --keep;
        if (keep == 0) keep = std::min<size_t>(room, stem.size());
    }
    std::string candidate(stem.substr(0, keep));
    candidate.append(tag).append(extension);
    return candidate;
}

bool IsTopTrashName(std::string_view name) {
    if (name == ".Trash") return true;
    constexpr std::string_view kPrefix = ".Trash-";
    if (name.size() <= kPrefix.size() || name.substr(0, kPrefix.size()) != kPrefix) return false;
    for (const char c : name.substr(kPrefix.size())) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

namespace {

// Writes the info file under the first free name from `reservation.attempt`
// on, flushing it when `flush` says so.
WriteOutcome WriteInfo(TrashReservation& reservation, const std::string& name, bool flush,
                       const std::atomic<int32_t>* cancel) {
    for (; reservation.attempt < kTrashNameAttempts; ++reservation.attempt) {
        if (Cancelled(cancel)) return WriteOutcome(WriteStatus::Cancelled);
        const unsigned attempt = reservation.attempt;
        std::string candidate =
            TrashCandidateName(name, attempt, reservation.maxLength,
                               attempt >= kNumberedTrashNames ? RandomSalt() : 0);
        const std::string infoName = candidate + kInfoSuffix;
        FdGuard infoFd(::openat(reservation.info.get(), infoName.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (infoFd.get() < 0) {
            if (errno == EEXIST) continue;  // the name is taken: try the next
            return WriteOutcome(WriteStatus::NoTrash, ErrorText(errno));
        }
        if (!WriteAllTo(infoFd.get(), reservation.infoText) ||
            (flush && ::fsync(infoFd.get()) != 0)) {
            const int error = errno;
            ::unlinkat(reservation.info.get(), infoName.c_str(), 0);
            return WriteOutcome(WriteStatus::Failed, ErrorText(error));
        }
        reservation.infoFile = std::move(infoFd);
        reservation.candidate = std::move(candidate);
        return {};
    }
    return WriteOutcome(WriteStatus::Failed,
                        FillIn(QCoreApplication::translate("FreedesktopTrash",
                                                           "no free name was found in the trash")));
}

// `as` is the name the object is trashed under (its info's Path=, its name in
// files/); usually `name` itself.
WriteOutcome Reserve(int folder, const std::string& name, const std::string& as,
                     const std::atomic<int32_t>* cancel, bool flush,
                     TrashReservation& reservation) {
    const std::string folderPath = PathOfHandle(folder);
    Trash trash;
    switch (FindTrash(folder, folderPath, trash)) {
        case TrashFound::Found:
            break;
        case TrashFound::NoHomeTrash:
            return WriteOutcome(WriteStatus::NoTrash,
                                FillIn(QCoreApplication::translate("FreedesktopTrash",
                                                                   "there is no trash folder")));
        case TrashFound::NoTopTrash:
            return WriteOutcome(WriteStatus::NoTrash,
                                FillIn(QCoreApplication::translate(
                                    "FreedesktopTrash", "no trash on its file system takes it")));
    }
    if (folderPath.empty()) {
        return WriteOutcome(
            WriteStatus::NoTrash,
            FillIn(QCoreApplication::translate("FreedesktopTrash", "its place is not known")));
    }
    std::string original = folderPath == "/" ? "/" + as : folderPath + "/" + as;
    if (!trash.topFolder.empty()) {
        // In a mount's own trash the path is relative to that mount's top.
        const size_t cut = trash.topFolder == "/" ? 1 : trash.topFolder.size() + 1;
        original = original.substr(cut);
    }
    struct stat object {};
    if (::fstatat(folder, name.c_str(), &object, AT_SYMLINK_NOFOLLOW) != 0) {
        return WriteOutcome(WriteStatus::Failed, ErrorText(errno));
    }
    reservation = TrashReservation();
    reservation.device = object.st_dev;
    reservation.inode = object.st_ino;
    reservation.infoText = TrashInfoText(PercentEncodePath(original), std::time(nullptr));
    long nameMax = ::fpathconf(trash.info.get(), _PC_NAME_MAX);
    if (nameMax <= 0) nameMax = NAME_MAX;
    reservation.maxLength = static_cast<size_t>(nameMax) - kInfoSuffixLength;
    reservation.files = std::move(trash.files);
    reservation.info = std::move(trash.info);
    reservation.as = as;
    return WriteInfo(reservation, as, flush, cancel);
}

}  // namespace

WriteOutcome ReserveTrashName(int folder, const std::string& name,
                              const std::atomic<int32_t>* cancel, TrashReservation& reservation) {
    return Reserve(folder, name, name, cancel, /*flush=*/false, reservation);
}

void DropTrashReservation(TrashReservation& reservation) {
    if (reservation.infoFile.get() < 0) return;
    ::unlinkat(reservation.info.get(), (reservation.candidate + kInfoSuffix).c_str(), 0);
    reservation.infoFile = FdGuard();
}

WriteOutcome CompleteTrashMove(int folder, const std::string& name, TrashReservation& reservation,
                               const std::atomic<int32_t>* cancel) {
    for (;;) {
        const int error =
            RenameNoReplace(folder, name, reservation.files.get(), reservation.candidate);
        if (error == 0) {
            reservation.infoFile = FdGuard();
            WriteOutcome moved;
            const std::string files = PathOfHandle(reservation.files.get());
            if (!files.empty()) moved.trashedTo = files + "/" + reservation.candidate;
            return moved;
        }
        DropTrashReservation(reservation);
        if (error == EXDEV) return WriteOutcome(WriteStatus::NoTrash, ErrorText(error));
        if (error != EEXIST && error != ENOTEMPTY) {
            return WriteOutcome(WriteStatus::Failed, ErrorText(error));
        }
        ++reservation.attempt;
        // This info file was not part of any group flush: it reaches the
        // disk on its own before the object moves.
        WriteOutcome next = WriteInfo(reservation, reservation.as, /*flush=*/true, cancel);
        if (next.status != WriteStatus::Done) return next;
    }
}

WriteOutcome MoveToFreedesktopTrash(int folder, const std::string& name,
                                    const std::atomic<int32_t>* cancel) {
    // One object alone: its info file is flushed before the object moves, so
    // a crash never leaves an object in files/ without its info.
    return MoveToFreedesktopTrashAs(folder, name, name, cancel);
}

WriteOutcome MoveToFreedesktopTrashAs(int folder, const std::string& name, const std::string& as,
                                      const std::atomic<int32_t>* cancel) {
    TrashReservation reservation;
    WriteOutcome reserved = Reserve(folder, name, as, cancel, /*flush=*/true, reservation);
    if (reserved.status != WriteStatus::Done) return reserved;
    return CompleteTrashMove(folder, name, reservation, cancel);
}

}  // namespace ravelmoor
