#include "core/engine/FolderCache.h"

#include <fcntl.h>

#include <string_view>

namespace ravelmoor {
namespace {

thread_local FolderCache* current = nullptr;

}  // namespace

FolderCache::FolderCache() : outer_(current) {
    current = this;
}

FolderCache::~FolderCache() {
    current = outer_;
}

int FolderCache::Open(const std::string& path, int flags) {
    if (current != nullptr) return current->OpenHere(path, flags);
    return ::open(path.c_str(), flags);
}

int FolderCache::OpenHere(const std::string& path, int flags) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return ::open(path.c_str(), flags);
    const std::string_view folder(path.data(), slash + 1);
    Slot* slot = nullptr;
    for (Slot& s : slots_) {
        if (s.handle.get() >= 0 && s.folder == folder) slot = &s;
    }
    if (slot == nullptr) {
        slot = &slots_[next_];
        next_ = (next_ + 1) % 2;
        slot->folder.assign(folder);
        slot->handle.reset(::open(slot->folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (slot->handle.get() < 0) return ::open(path.c_str(), flags);
    }
    return ::openat(slot->handle.get(), path.c_str() + slash + 1, flags);
}

}  // namespace ravelmoor
