#include "core/journal/RootLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/journal/JournalStore.h"
#include "core/local/BelowRoot.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr int kAttempts = 20;

std::string LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
        return std::string(runtime) + "/ravelmoor/locks";
    const std::string state = JournalStore::StateFolder();
    return state.empty() ? state : state + "/locks";
}

// FNV-1a: a root text as a file name.
uint64_t Hash(const std::string& text) {
    uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::string HostName() {
    char host[256] = {};
    return ::gethostname(host, sizeof host - 1) == 0 ? std::string(host) : std::string();
}

// Who holds the lock of `fd`, as its file says: process number and host.
bool ReadHolder(int fd, long& pid, std::string& host) {
    char text[512] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0) return false;
    char name[300] = {};
    if (std::sscanf(text, "%ld %299s", &pid, name) != 2) return false;
    host = name;
    return true;
}

// Whether a holder named in a lock file may still be at work.
bool MayBeAlive(long pid, const std::string& host) {
    if (host != HostName()) return true;  // another machine: no way to tell
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

LockOutcome InUse(const std::string& root, long pid, const std::string& host) {
    return LockOutcome(
        LockStatus::InUse,
        FillIn(QCoreApplication::translate("RootLock",
                                           "\"%1\" is being synchronised or undone by another run "
                                           "(process %2 on %3); try again once it has ended."),
               {root, std::to_string(pid), host}));
}

LockOutcome CanNotLock(const std::string& root, const std::string& path, int error) {
    return LockOutcome(
        LockStatus::Failed,
        FillIn(QCoreApplication::translate(
                   // NOLINTNEXTLINE(modernize-raw-string-literal)
                   "RootLock", "Can not keep other runs off \"%1\": the lock \"%2\": %3."),
               {root, path, ErrorText(error)}));
}

}  // namespace

std::string RootLock::PathFor(const JournalSide& side) {
    const std::string folder = LockFolder();
    if (folder.empty()) return {};
    char name[64];
    if (side.local) {
        struct stat st {};
        if (::stat(side.folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
        std::snprintf(name, sizeof name, "folder-%llx-%llx.lock",
                      static_cast<unsigned long long>(st.st_dev),
                      static_cast<unsigned long long>(st.st_ino));
    } else {
        std::snprintf(name, sizeof name, "server-%016llx.lock",
                      static_cast<unsigned long long>(Hash(side.shown + "\n" + side.folder)));
    }
    return folder + "/" + name;
}

LockOutcome RootLock::Take(const JournalSide& side) {
    Release();
    const std::string& root = side.shown;
    const std::string path = PathFor(side);
    if (path.empty()) {
        if (side.local) return {};  // not there: nothing to keep others off
        return CanNotLock(root, LockFolder(), ENOENT);
    }
    std::error_code made;
    std::filesystem::create_directories(path.substr(0, path.rfind('/')), made);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        FdGuard fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.get() < 0) return CanNotLock(root, path, errno);
        long pid = 0;
        std::string host;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                ReadHolder(fd.get(), pid, host);
                return InUse(root, pid, host);
            }
            // No flock here (some network file systems): the file's word
            // decides, and a holder gone from this host no longer counts.
            if (ReadHolder(fd.get(), pid, host) && MayBeAlive(pid, host))
                return InUse(root, pid, host);
        }
        // The last holder may have removed the file just before it was
        // locked here: only a lock on the file that is there counts.
        struct stat held {};
        struct stat there {};
        if (::fstat(fd.get(), &held) != 0 || ::stat(path.c_str(), &there) != 0 ||
            held.st_dev != there.st_dev || held.st_ino != there.st_ino) {
            continue;
        }
        const std::string holder = std::to_string(::getpid()) + " " + HostName() + "\n";
        if (::ftruncate(fd.get(), 0) != 0 || ::pwrite(fd.get(), holder.data(), holder.size(), 0) !=
                                                 static_cast<ssize_t>(holder.size())) {
            return CanNotLock(root, path, errno);
        }
        fd_ = std::move(fd);
        path_ = path;
        return {};
    }
    return CanNotLock(root, path, EAGAIN);
}

void RootLock::Release() {
    if (fd_.get() < 0) return;
    // Removed while still held, so that a run waiting on this file sees it
    // gone and makes a new one.
    ::unlink(path_.c_str());
    fd_.reset();
    path_.clear();
}

LockOutcome SyncLocks::Take(const JournalHeader& sides) {
    LockOutcome taken = source_.Take(sides.source);
    if (!taken.Ok()) return taken;
    if (RootLock::PathFor(sides.source) == RootLock::PathFor(sides.target)) return taken;
    taken = target_.Take(sides.target);
    if (!taken.Ok()) source_.Release();
    return taken;
}

}  // namespace ravelmoor
