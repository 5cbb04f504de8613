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
// "" for the root) and for the file system (trailing '/'), and the side it
// belongs to where the folders of two sides are listed together (0 or 1).
struct ScanMember {
    std::string entryPrefix;
    std::string listPath;
    uint8_t side = 0;
};

// Where the members of one side are listed from, and how.
struct ScanSource {
    FileSystem* fs = nullptr;
    const ScanOptions* options = nullptr;
};

// What reading a pair's data while its folders were listed found, for one
// file of the pair.
enum class ListedRead : uint8_t { None, Summed, Differs };

// The children of one folder, or of several whose names fold equal (Docs and
// docs, listed together so that their children come out in one key order, as
// one sort over whole paths would put them), listed and sorted: the files in
// key order, then the sub-folders in key order, equal keys in listing order
// (the group's first folder's children before the next one's). The group may
// hold the folders of one key on both sides of a comparison (the members of
// side 0 first): each side's children, taken alone, are in the order the
// side's own listing would give. Listing a group touches nothing but the file
// system and the listing itself, so groups can be listed on several threads
// at once.
class FolderListing {
  public:
    struct Child {
        uint32_t member;
        uint32_t nameAt, nameLength;  // in names_: the name as the file system spells it
        uint32_t keyAt, keyLength;    // in keys_: the folded scan-list name
        uint32_t attributes;
        uint64_t size;
        int64_t lastWrite;
        // Set where the pair's data was read while listed (FolderPairReader).
        ListedRead read;
        uint32_t checksum;
        uint32_t checksumBytes;

        bool IsFolder() const { return (attributes & kFolderAttribute) != 0; }
    };
    // A folder that could not be listed, a name that cannot be used, or a
    // temporary file a broken copy left, in key text, and its side.
    struct Noted {
        uint8_t side;
        std::string path;
    };
    // Sub-folders whose names fold equal: children [begin, end).
    struct SubGroup {
        uint32_t begin, end;
    };

    // Lists every member of `group` from its side's source (the scan's
    // options say which children count, and where unlistable folders and
    // leftover temporary files are told: here they are kept in the listing's
    // own lists, in order). False when a side itself failed
    // (ListStatus::Failed; FailedSide says which). A cancel stops the listing
    // between two entries.
    bool List(const std::vector<ScanMember>& group, const ScanSource* sources);
    uint8_t FailedSide() const { return failedSide_; }

    const std::vector<Child>& Children() const { return children_; }
    std::vector<Child>& Children() { return children_; }
    size_t FirstFolder() const { return firstFolder_; }
    const std::vector<SubGroup>& SubGroups() const { return subGroups_; }
    std::string_view Name(const Child& child) const {
        return {names_.data() + child.nameAt, child.nameLength};
    }
    // The same name, followed by a NUL, for the system calls.
    const char* NameText(const Child& child) const { return names_.data() + child.nameAt; }
    std::string_view Key(const Child& child) const {
        return {keys_.data() + child.keyAt, child.keyLength};
    }
    // The members of a sub-group, for its own listing.
    std::vector<ScanMember> MembersOf(const SubGroup& sub,
                                      const std::vector<ScanMember>& group) const;

    // Folders of the group that could not be listed and names that cannot be
    // used; temporary files a broken copy left.
    const std::vector<Noted>& Unlistable() const { return unlistable_; }
    const std::vector<Noted>& Leftovers() const { return leftovers_; }

  private:
    class Sink;
    void Sort();

    std::string names_;
    std::string keys_;
    std::vector<Child> children_;
    size_t firstFolder_ = 0;
    std::vector<SubGroup> subGroups_;
    std::vector<Noted> unlistable_;
    std::vector<Noted> leftovers_;
    uint8_t failedSide_ = 0;
};

}  // namespace ravelmoor
