#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileEntry.h"
#include "core/engine/FileSystem.h"
#include "core/engine/ScanFolder.h"

namespace ravelmoor {

// A folder to list, named twice: in key text (folder markers, trailing '/',
// "" for the root) and for the file system (trailing '/').
struct ScanMember {
    std::string entryPrefix;
    std::string listPath;
};

// The children of one folder, or of several whose names fold equal (Docs and
// docs, listed together so that their children come out in one key order, as
// one sort over whole paths would put them), listed and sorted: the files in
// key order, then the sub-folders in key order, equal keys in listing order
// (the group's first folder's children before the next one's). Listing a
// group touches nothing but the file system and the listing itself, so groups
// can be listed on several threads at once.
class FolderListing {
  public:
    struct Child {
        uint32_t member;
        uint32_t nameAt, nameLength;  // in names_: the name as the file system spells it
        uint32_t keyAt, keyLength;    // in keys_: the folded scan-list name
        uint32_t attributes;
        uint64_t size;
        int64_t lastWrite;

        bool IsFolder() const { return (attributes & kFolderAttribute) != 0; }
    };
    // Sub-folders whose names fold equal: children [begin, end).
    struct SubGroup {
        uint32_t begin, end;
    };

    // Lists every member of `group` (the scan's options say which children
    // count, and where unlistable folders and leftover temporary files are
    // told: here they are kept in the listing's own lists, in order). False
    // when the side itself failed (ListStatus::Failed). A cancel stops the
    // listing between two entries.
    bool List(FileSystem& fs, const std::vector<ScanMember>& group, const ScanOptions& options);

    const std::vector<Child>& Children() const { return children_; }
    size_t FirstFolder() const { return firstFolder_; }
    const std::vector<SubGroup>& SubGroups() const { return subGroups_; }
    std::string_view Name(const Child& child) const {
        return {names_.data() + child.nameAt, child.nameLength};
    }
    // The members of a sub-group, for its own listing.
    std::vector<ScanMember> MembersOf(const SubGroup& sub,
                                      const std::vector<ScanMember>& group) const;

    // Folders of the group that could not be listed and names that cannot be
    // used, in key text; temporary files a broken copy left, in key text.
    const std::vector<std::string>& Unlistable() const { return unlistable_; }
    const std::vector<std::string>& Leftovers() const { return leftovers_; }

  private:
    class Sink;
    std::string_view Key(const Child& child) const {
        return {keys_.data() + child.keyAt, child.keyLength};
    }
    void Sort();

    std::string names_;
    std::string keys_;
    std::vector<Child> children_;
    size_t firstFolder_ = 0;
    std::vector<SubGroup> subGroups_;
    std::vector<std::string> unlistable_;
    std::vector<std::string> leftovers_;
};

}  // namespace ravelmoor
