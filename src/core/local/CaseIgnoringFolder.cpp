#include "core/local/CaseIgnoringFolder.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>

#include "core/engine/FdGuard.h"

namespace ravelmoor {
namespace {

// Magic numbers from statfs(2); not every one is in the installed headers.
constexpr long kMsdosMagic = 0x4d44;            // vfat, msdos
constexpr long kExfatMagic = 0x2011BAB0;        // exfat
constexpr unsigned kCasefoldFlag = 0x40000000;  // FS_CASEFOLD_FL

}  // namespace

bool FolderIgnoresCase(const std::string& folder) {
    FdGuard fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return false;
    struct statfs fs {};
    if (::fstatfs(fd.get(), &fs) == 0) {
        const long type = static_cast<long>(fs.f_type);
        if (type == kMsdosMagic || type == kExfatMagic) return true;
    }
    // The kernel reads and writes an int here, whatever the macro's type says.
    int flags = 0;
    if (::ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) == 0 &&
        (static_cast<unsigned>(flags) & kCasefoldFlag) != 0) {
        return true;
    }
    return false;
}

}  // namespace ravelmoor
