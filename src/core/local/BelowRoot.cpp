#include "core/local/BelowRoot.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

bool IsPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

void Fail(WriteOutcome& outcome, WriteStatus status, std::string reason) {
    outcome = WriteOutcome(status, std::move(reason));
}

// Set once the kernel has said it has no openat2 (older than 5.6, or a
// sandbox that forbids it): the walk does the work from then on.
std::atomic<bool> noOpenat2{false};

// One level at a time: folders with O_NOFOLLOW, then the last level.
int WalkBeneath(int root, std::string_view relative, int flags) {
    FdGuard current;
    int at = root;
    for (;;) {
        const size_t slash = relative.find('/');
        const std::string name(relative.substr(0, slash));
        if (slash == std::string_view::npos) {
            return ::openat(at, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC);
        }
        relative.remove_prefix(slash + 1);
        current.reset(::openat(at, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (current.get() < 0) return -1;
        at = current.get();
    }
}

bool AllPlainLevels(std::string_view relative) {
    for (;;) {
        const size_t slash = relative.find('/');
        if (!IsPlainName(relative.substr(0, slash))) return false;
        if (slash == std::string_view::npos) return true;
        relative.remove_prefix(slash + 1);
    }
}

}  // namespace

void AllowOpenat2(bool allowed) {
    noOpenat2.store(!allowed, std::memory_order_relaxed);
}

int OpenBeneath(int root, std::string_view relative, int flags) {
    if (!AllPlainLevels(relative)) {
        errno = EINVAL;
        return -1;
    }
    if (!noOpenat2.load(std::memory_order_relaxed)) {
        open_how how{};
        how.flags = static_cast<uint64_t>(flags | O_CLOEXEC);
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
        const std::string path(relative);
        for (int attempt = 0; attempt < 4; ++attempt) {
            const long fd = ::syscall(SYS_openat2, root, path.c_str(), &how, sizeof how);
            if (fd >= 0) return static_cast<int>(fd);
            // EAGAIN: a rename elsewhere raced the lookup; try again.
            if (errno != EAGAIN) break;
        }
        if (errno != ENOSYS && errno != EPERM && errno != EAGAIN) return -1;
        if (errno != EAGAIN) noOpenat2.store(true, std::memory_order_relaxed);
    }
    return WalkBeneath(root, relative, flags);
}

FdGuard OpenFolderBelow(const std::string& root, std::string_view folder, bool create,
                        WriteOutcome& outcome, bool* made) {
    if (made != nullptr) *made = false;
    FdGuard current(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (current.get() < 0) {
        const int error = errno;  // before the translator can touch it
        Fail(outcome, WriteStatus::Failed,
             FillIn(QCoreApplication::translate("BelowRoot",
                                                "the folder \"%1\" can not be opened: %2"),
                    {root, ErrorText(error)}));
        return FdGuard();
    }
    if (!folder.empty()) {
        // Most places are there already: one call reaches them. Otherwise the
        // walk below makes the missing levels or names the one in the way.
        FdGuard reached(OpenBeneath(current.get(), folder, O_PATH | O_DIRECTORY));
        if (reached.get() >= 0) return reached;
    }
    std::string reached = root;
    // Every level counts, an empty one before, between or after the others too.
    for (bool more = !folder.empty(); more;) {
        const size_t slash = folder.find('/');
        const std::string name(folder.substr(0, slash));
        more = slash != std::string_view::npos;
        if (more) folder.remove_prefix(slash + 1);
        if (!IsPlainName(name)) {
            Fail(outcome, WriteStatus::Refused,
                 FillIn(
                     QCoreApplication::translate(
                         // NOLINTNEXTLINE(modernize-raw-string-literal)
                         "BelowRoot", "the path has an empty, \".\" or \"..\" level below \"%1\""),
                     {reached}));
            return FdGuard();
        }
        reached += name;
        constexpr int kFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int next = ::openat(current.get(), name.c_str(), kFlags);
        if (next < 0 && errno == ENOENT && create) {
            if (::mkdirat(current.get(), name.c_str(), 0777) == 0) {
                if (made != nullptr) *made = true;
            } else if (errno != EEXIST) {
                const int error = errno;
                Fail(outcome, WriteStatus::Failed,
                     FillIn(QCoreApplication::translate("BelowRoot",
                                                        "the folder \"%1\" can not be made: %2"),
                            {reached, ErrorText(error)}));
                return FdGuard();
            }
            next = ::openat(current.get(), name.c_str(), kFlags);
        }
        if (next < 0) {
            if (errno == ENOTDIR || errno == ELOOP) {
                Fail(outcome, WriteStatus::Refused,
                     FillIn(QCoreApplication::translate(
                                "BelowRoot", "\"%1\" is a symbolic link or a file, not a folder"),
                            {reached}));
            } else {
                const int error = errno;
                Fail(outcome, WriteStatus::Failed,
                     FillIn(QCoreApplication::translate("BelowRoot",
                                                        "the folder \"%1\" can not be opened: %2"),
                            {reached, ErrorText(error)}));
            }
            return FdGuard();
        }
        current.reset(next);
        reached += '/';
    }
    return current;
}

bool OpenParentBelow(const std::string& root, std::string_view relative, bool create,
                     FdGuard& folder, std::string& name, WriteOutcome& outcome) {
    const size_t slash = relative.rfind('/');
    const std::string_view parent =
        slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash);
    name = std::string(slash == std::string_view::npos ? relative : relative.substr(slash + 1));
    if (!IsPlainName(name)) {
        Fail(outcome, WriteStatus::Refused,
             relative.empty() ? FillIn(QCoreApplication::translate(
                                    "BelowRoot", "the root itself is never written or removed"))
                              : FillIn(QCoreApplication::translate(
                                    // NOLINTNEXTLINE(modernize-raw-string-literal)
                                    "BelowRoot", "the path has an empty, \".\" or \"..\" level")));
        return false;
    }
    folder = OpenFolderBelow(root, parent, create, outcome);
    return folder.get() >= 0;
}

}  // namespace ravelmoor
