#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ravelmoor {

class FileSystem;

// Classification of one entry against its counterpart on the other side.
// Statuses always come in Source/Target pairs: 1/1, 2/3, 3/2, 4/5, 5/4.
enum class EntryStatus : uint8_t {
    Unclassified = 0,
    Matched = 1,
    Newer = 2,
    Older = 3,
    Unmatched = 4,
    Missing = 5,
};

inline constexpr uint32_t kFolderAttribute = 0x10;
// A symbolic link is listed as a file; this bit says its content is the link text.
inline constexpr uint32_t kSymlinkAttribute = 0x400;
// Placed before every folder name below the root while an entry sits in a scan
// list, so that a folder's files sort before its sub-folders (it is above
// every other byte).
inline constexpr char kFolderMarker = '\xFF';
// A name may hold the byte 0xFF itself (Latin-1 names on old media). In a
// scan list such a byte is held as 0xFF followed by NUL; a marker is always
// followed by a folder name, which never starts with NUL, so the two never
// mix, and the name's byte still sorts below a marker and above every other
// byte.
inline constexpr char kEscapedFFTail = '\0';

// Appends a name as a scan list holds it (each 0xFF byte escaped).
void AppendScanName(std::string& out, std::string_view name);
// Turns scan-list text back into plain path text: markers are dropped and
// escaped 0xFF bytes restored. Works in place; returns the new length.
size_t RemoveFolderMarkers(char* text, size_t length);
void RemoveFolderMarkers(std::string& text);

// The path text of an entry. An entry that lives in a FileList usually borrows
// its bytes from the list's own storage (one allocation per many entries);
// every copy made outside a list owns its bytes. The text is always followed
// by a NUL so that it can go straight to a system call.
class EntryPath {
  public:
    EntryPath() = default;
    explicit EntryPath(std::string_view text) { Assign(text); }
    EntryPath(const EntryPath& other) { Assign(other.view()); }
    EntryPath(EntryPath&& other) noexcept;
    EntryPath& operator=(const EntryPath& other);
    EntryPath& operator=(EntryPath&& other) noexcept;
    EntryPath& operator=(std::string_view text);
    ~EntryPath() { Release(); }

    std::string_view view() const { return {data_ != nullptr ? data_ : "", size_}; }
    std::string str() const { return std::string(view()); }
    const char* c_str() const { return data_ != nullptr ? data_ : ""; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    char operator[](size_t i) const { return data_[i]; }
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)

    // Makes scan-list text plain path text, in place (see RemoveFolderMarkers below).
    void RemoveFolderMarkers();

    friend bool operator==(const EntryPath& a, const EntryPath& b) { return a.view() == b.view(); }
    friend bool operator==(const EntryPath& a, std::string_view b) { return a.view() == b; }

  private:
    friend class FileList;

    void Assign(std::string_view text);
    void Release();
    // Takes bytes that a FileList keeps alive; never freed by this object.
    void Borrow(char* data, uint32_t size);
    // Hands the bytes over as they are (borrowed or owned) and leaves `from` empty.
    void TakeRaw(EntryPath& from) noexcept;

    char* data_ = nullptr;
    uint32_t size_ = 0;
    bool owned_ = false;
};

// One file or folder of one side. A plain value: copies copy every field.
// A comparison holds millions of these, so the layout is kept to 48 bytes
// (the two small fields live in the tail padding of the path), and the path
// leaves out the side's root, which every entry of a side shares.
struct FileEntry {
    // The path below the side's root folder ("docs/a.txt"), spelled exactly
    // as the file system spells it, with '/' between levels. Empty for a
    // blank entry. The file is at root + path.
    [[no_unique_address]] EntryPath path;
    uint8_t excluded = 0;
    EntryStatus status = EntryStatus::Unclassified;
    uint32_t attributes = 0;  // kFolderAttribute, kSymlinkAttribute
    uint32_t checksum = 0;    // CRC-32 register
    uint64_t size = 0;
    int64_t lastWrite = 0;  // seconds since 1970-01-01 UTC
    uint64_t checksumBytes = 0;

    bool IsFolder() const { return (attributes & kFolderAttribute) != 0; }
    bool IsSymlink() const { return (attributes & kSymlinkAttribute) != 0; }
    bool IsBlank() const { return path.empty(); }
    // Where the entry is, for a side whose root folder text is `root` (ending with '/').
    std::string FullPath(std::string_view root) const {
        return std::string(root).append(path.view());
    }
    void RemoveFolderMarkers() { path.RemoveFolderMarkers(); }

    // Fills the entry from facts listed for `name` in the folder `prefix`.
    // `checksum` keeps its value.
    void SetFromFacts(std::string_view prefix, std::string_view name, uint32_t attributes,
                      uint64_t size, int64_t lastWrite);

    // Looks `root` + `relativePath` up (without following a final symbolic
    // link) and makes this the entry of `relativePath`. Nothing there: the
    // entry becomes blank.
    void ReadFromPath(FileSystem& fs, std::string_view root, std::string_view relativePath);

    bool operator==(const FileEntry& other) const = default;
};
static_assert(sizeof(FileEntry) == 48, "FileEntry grew: every listed entry pays for it");

}  // namespace ravelmoor
