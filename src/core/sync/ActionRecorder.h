#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/engine/FileSystem.h"

namespace ravelmoor {

// What one change of a synchronisation does to one object.
// Rename: the object moved to another name on its side (a two-way sync
// following a rename); its new path is told as Trashed's path.
enum class ActionKind : uint8_t { CopyNew, Replace, Delete, MakeFolder, RemoveFolder, Rename };

// Told about every change a batch makes, so that it can be written down and
// undone later. Begin is called just before an object is changed and has
// done its work (the record is written out) when it returns; End once the
// change is over, perhaps more than once (the last word holds). A change that
// never ends (a crash) is judged later by what is found on disk.
class ActionRecorder {
  public:
    virtual ~ActionRecorder() = default;

    static constexpr size_t kNoAction = SIZE_MAX;

    // `path` is the full path of the object on the side whose file system is
    // `fs` and root `root`; `exists` and `before` say what is there now,
    // `expected` what a copy will leave (the original's facts). Returns the
    // number the later calls name the change by.
    virtual size_t Begin(ActionKind kind, FileSystem& fs, const std::string& root,
                         const std::string& path, bool exists, const EntryFacts& before,
                         const EntryFacts& expected) = 0;
    // The object that was at the change's path went to the trash, to `trashPath`.
    virtual void Trashed(size_t action, std::string_view trashPath) = 0;
    // The change is over: `done`, or left undone (declined, failed, changed).
    virtual void End(size_t action, bool done) = 0;
    // Why no change may begin any more: the record of the last Begin could
    // not be written (a full disk), so that change would be made without a
    // way back. Empty while all is well.
    virtual std::string Broken() const { return {}; }
};

}  // namespace ravelmoor
