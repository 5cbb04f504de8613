// Put in front of the program by the verification tests (LD_PRELOAD): every
// write() to a copy on its way (a file named ".ravelmoor-....part") has one
// byte changed, as a bad disk, cable or driver would change it: the middle
// byte of each write, or, with RAVELMOOR_FLIP_AT set, only the byte at that
// offset of the file. Everything else is written as it is.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

bool IsCopyOnItsWay(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[4096];
    const ssize_t n = ::readlink(link, path, sizeof path - 1);
    if (n <= 0) return false;
    const std::string_view whole(path, static_cast<size_t>(n));
    const std::string_view name = whole.substr(whole.rfind('/') + 1);
    return name.starts_with(".ravelmoor-") && name.ends_with(".part");
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    using Write = ssize_t (*)(int, const void*, size_t);
    static const auto real = reinterpret_cast<Write>(::dlsym(RTLD_NEXT, "write"));
    if (size == 0 || !IsCopyOnItsWay(fd)) return real(fd, data, size);
    size_t flip = size / 2;
    if (const char* at = std::getenv("RAVELMOOR_FLIP_AT")) {
        const off_t position = ::lseek(fd, 0, SEEK_CUR);
        const auto wanted = static_cast<off_t>(std::strtoll(at, nullptr, 10));
        if (position < 0 || wanted < position || wanted >= position + static_cast<off_t>(size))
            return real(fd, data, size);
        flip = static_cast<size_t>(wanted - position);
    }
    std::vector<char> changed(static_cast<const char*>(data),
                              static_cast<const char*>(data) + size);
    changed[flip] ^= 0x20;
    return real(fd, changed.data(), size);
}
