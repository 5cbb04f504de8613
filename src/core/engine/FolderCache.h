#pragma once

#include <string>

#include "core/engine/FdGuard.h"

namespace ravelmoor {

// Keeps the last two folders files were opened in, so that the files of one
// folder, read one after the other, are opened relative to their folder
// instead of by a whole path: the lookup of every level of the path is made
// once per folder rather than once per file. Two, because a pair is read from
// a Source and a Target folder in turn.
//
// A cache is in use on the thread that made it, while it lives: the
// comparison's readers hold one each for their reading, so no folder stays
// open once the reading has ended (a stick can still be unmounted).
class FolderCache {
  public:
    FolderCache();
    ~FolderCache();
    FolderCache(const FolderCache&) = delete;
    FolderCache& operator=(const FolderCache&) = delete;

    // Opens `path` with `flags` as open(2) does: through the thread's cache
    // when it has one, by the whole path otherwise (or when the folder
    // cannot be opened itself). -1 with errno set on failure.
    static int Open(const std::string& path, int flags);

  private:
    int OpenHere(const std::string& path, int flags);

    struct Slot {
        std::string folder;  // with its trailing '/'
        FdGuard handle;
    };
    Slot slots_[2];
    size_t next_ = 0;
    FolderCache* outer_;
};

}  // namespace ravelmoor
