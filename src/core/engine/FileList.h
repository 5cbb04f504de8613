#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileEntry.h"

namespace ravelmoor {

// An ordered, growable list of entries of one side. Entries are kept in blocks
// of kGrowthStep, so growing never moves them and a reference from ElementAt
// stays valid until the list shrinks. The texts of entries added to the list
// are kept in the list's own text storage, a few large chunks instead of one
// allocation per entry: each folder's text once, and each entry's name.
class FileList {
  public:
    static constexpr size_t kGrowthStep = 2000;

    FileList() { Init(); }
    ~FileList();
    FileList(const FileList&) = delete;
    FileList& operator=(const FileList&) = delete;

    // Empties the list and forgets currentName.
    void Init();
    // Empties the list; currentName stays.
    void Clear();

    size_t GetSize() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }

    // Appends a copy of `entry` and returns its index.
    size_t Add(const FileEntry& entry);
    // Keeps the text of a folder below the root ("docs/sub/", ending with
    // '/'; "" for the root itself) for the entries AddListed puts in it. The
    // handle stays valid as long as the list's text storage.
    const char* AddFolder(std::string_view folder);
    // Appends an entry for `name` (as the file system spells it) listed in
    // `folder`, a handle from AddFolder.
    size_t AddListed(const char* folder, std::string_view name, uint32_t attributes, uint64_t size,
                     int64_t lastWrite);
    // Appends a blank entry (the counterpart of an entry on the other side only).
    size_t AddBlank();

    FileEntry& ElementAt(size_t index) { return blocks_[index / kGrowthStep][index % kGrowthStep]; }
    const FileEntry& ElementAt(size_t index) const {
        return blocks_[index / kGrowthStep][index % kGrowthStep];
    }

    // Removes the entries at `rows` (ascending, no repeats) in one pass; the
    // rest keep their order.
    void RemoveRows(const std::vector<uint32_t>& rows);

    // The name of the item being worked on, for display; safe from any thread.
    void SetCurrentName(std::string_view text);
    // The current name with folder markers removed.
    std::string GetCurrentName() const;

    // --- Hand-over from a scan list to a result list, used by the comparison
    // walk so that no path text is copied. AdoptStorage takes over `from`'s
    // text storage; AddTransferred then moves an entry of `from` over.
    void AdoptStorage(FileList& from);
    size_t AddTransferred(FileEntry& from);
    // Sets an empty list up so that one other thread may read its entries
    // below a count it was told (under a lock both take) while this list
    // grows: the table of blocks is made at once for more entries than
    // memory holds, so that growing never moves it.
    void AllowReadingWhileGrowing();
    // Frees the blocks that hold only entries before `index` (at most the
    // list's size). Those entries must not be touched again, and the list
    // must be cleared afterwards.
    void ReleaseBlocksBefore(size_t index);

    // Bytes held by the entries and their texts.
    size_t MemoryUsage() const;

  private:
    FileEntry& Append();
    // Stores `text` behind its length and before a NUL; returns its first byte.
    const char* StoreText(std::string_view text);
    static void Relocate(FileEntry& to, FileEntry& from) noexcept;
    // Every field but the path.
    static void CopyFacts(FileEntry& to, const FileEntry& from) noexcept;

    std::vector<std::unique_ptr<FileEntry[]>> blocks_;
    size_t count_ = 0;
    size_t releasedBlocks_ = 0;
    bool readWhileGrowing_ = false;

    // Text storage: chunks that are filled front to back and freed together.
    std::vector<std::unique_ptr<char[]>> chunks_;
    size_t chunkUsed_ = 0;
    size_t chunkSize_ = 0;
    size_t textBytes_ = 0;
    const char* lastFolder_ = nullptr;  // what Add stored last, to store a folder once

    mutable std::mutex nameLock_;
    std::string currentName_;
};

}  // namespace ravelmoor
