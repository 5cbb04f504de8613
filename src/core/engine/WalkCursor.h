#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ravelmoor {

class EntryFilter;
class FileList;

// Tells a walk how far a scan list that is still being filled may be read.
class WalkFeed {
  public:
    virtual ~WalkFeed() = default;
    // Waits until the list holds more than `entry` entries, or until nothing
    // more will come; returns how many entries may be read now.
    virtual size_t Await(size_t entry) = 0;
};

// One side's position in the comparison walk over a scan list. Each entry
// gets its key and its filter test when the walk first looks at it; the key
// of the entry after the current one is kept, because the walk looks one
// entry ahead to find names that fold equal on the same side. The blocks of
// entries the walk has left behind are freed as it goes.
//
// With a feed, the list may still be growing: the cursor reads only what the
// feed allows and waits for the rest.
class WalkCursor {
  public:
    // `feed` null: the list is complete.
    WalkCursor(FileList& scan, const EntryFilter* filter, WalkFeed* feed = nullptr);

    // Whether the list has no entry left (waits for the feed to say).
    bool Done() { return !Has(at_); }
    size_t At() const { return at_; }
    // The current entry's key (valid while not Done).
    const std::string& Key() const { return key_; }

    // How many entries from the current one on share its key.
    size_t GroupSize();
    void Advance(size_t by);

  private:
    bool Has(size_t index) {
        if (index < available_) return true;
        if (feed_ == nullptr) return false;
        available_ = feed_->Await(index);
        return index < available_;
    }
    // The key is the folded path with the folder marker before every folder
    // name (the scan's order). Entries of one folder come together, so the
    // folder's part of the key is made once per folder.
    void KeyEntry(size_t at, std::string& key);
    // Folding goes name by name (CaseFold.h), so a name folded on its own
    // gives the bytes it has in the whole path's key.
    void AppendFoldedName(std::string_view name, std::string& out);

    FileList& scan_;
    WalkFeed* feed_;
    size_t available_;
    const EntryFilter* filter_;
    size_t at_ = 0;
    std::string key_;
    std::string next_;
    size_t nextKeyedAt_ = SIZE_MAX;
    std::string spare_;
    std::string_view keyedFolder_;  // the folder text folderKey_ was made from
    std::string folderKey_;
    std::string escaped_;
};

}  // namespace ravelmoor
