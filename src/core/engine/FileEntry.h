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
// How exactly a time is known, where a side gives it coarser than a second
// (an FTP LIST line shows a minute, or only a day for older files): the
// time stands for every second from lastWrite to lastWrite + TimeSpan.
inline constexpr uint32_t kTimeMinuteAttribute = 0x1000;
inline constexpr uint32_t kTimeDayAttribute = 0x2000;
inline constexpr uint32_t kTimeSpanAttributes = kTimeMinuteAttribute | kTimeDayAttribute;
// The seconds after lastWrite that the time may also stand for: 0 for an
// exact time.
constexpr int64_t TimeSpan(uint32_t attributes) {
    return (attributes & kTimeDayAttribute) != 0      ? 86399
           : (attributes & kTimeMinuteAttribute) != 0 ? 59
                                                      : 0;
}
// Only in scan lists, where both sides are local: the data of the entry's
// pair was read while its folders were listed (FolderPairReader), and the
// checksum fields already hold what reading the pair side by side gives,
// whole (Summed) or up to the block that differs (Differs). The walk takes
// these bits off every entry it moves to a result list.
inline constexpr uint32_t kListedSummedAttribute = 0x4000;
inline constexpr uint32_t kListedDiffersAttribute = 0x8000;
// Placed before every folder name below the root in the key text that the
// scan orders by and the walk pairs by (and in the paths of folders that could
// not be listed), so that a folder's files sort before its sub-folders (it is
// above every other byte). Entries themselves hold plain names.
inline constexpr char kFolderMarker = '\xFF';
// A name may hold the byte 0xFF itself (Latin-1 names on old media). In key
// text such a byte is held as 0xFF followed by NUL; a marker is always
// followed by a folder name, which never starts with NUL, so the two never
// mix, and the name's byte still sorts below a marker and above every other
// byte.
inline constexpr char kEscapedFFTail = '\0';

// Appends a name as key text holds it (each 0xFF byte escaped).
void AppendScanName(std::string& out, std::string_view name);
// Turns key text back into plain path text: markers are dropped and
// escaped 0xFF bytes restored. Works in place; returns the new length.
size_t RemoveFolderMarkers(char* text, size_t length);
void RemoveFolderMarkers(std::string& text);

// The path of an entry below its side's root, in two parts: the folder
// ("docs/sub/", or "" directly below the root) and the name ("a.txt"). An
// entry in a FileList points at texts its list keeps: each folder's text once
// for all of its entries, and the entry's own name. Every copy made outside a
// list owns its whole path text. The whole path is built only where it is
// shown or opened (str, AppendTo); the hot paths use Folder and Name.
//
// Both forms point at bytes that are preceded by their length (4 bytes,
// unaligned) and followed by a NUL.
class EntryPath {
  public:
    EntryPath() = default;
    explicit EntryPath(std::string_view text) { Assign(text); }
    EntryPath(const EntryPath& other) { CopyFrom(other); }
    EntryPath(EntryPath&& other) noexcept;
    EntryPath& operator=(const EntryPath& other);
    EntryPath& operator=(EntryPath&& other) noexcept;
    EntryPath& operator=(std::string_view text);
    ~EntryPath() { Release(); }

    // The folder part, ending with '/' (empty directly below the root).
    std::string_view Folder() const;
    // The last name.
    std::string_view Name() const;
    std::string str() const;
    void AppendTo(std::string& out) const;
    size_t size() const;
    bool empty() const { return name_ == nullptr; }

    // Byte order of the whole path texts, like memcmp.
    int Compare(const EntryPath& other) const;

    friend bool operator==(const EntryPath& a, const EntryPath& b) { return a.Compare(b) == 0; }
    friend bool operator==(const EntryPath& a, std::string_view b);

  private:
    friend class FileList;

    // The folder text of a list's entries directly below the root.
    static const char* const kRootFolder;

    static uint32_t LengthAt(const char* text);
    void Assign(std::string_view text);
    void CopyFrom(const EntryPath& other);
    void Release();
    // Takes texts that a FileList keeps alive; never freed by this object.
    void Borrow(const char* folder, const char* name);
    // Hands the texts over as they are (borrowed or owned) and leaves `from` empty.
    void TakeRaw(EntryPath& from) noexcept;
    bool Owned() const { return folder_ == nullptr && name_ != nullptr; }

    // A list's folder text; null when the path is owned (then name_ holds
    // the whole path) or blank.
    const char* folder_ = nullptr;
    const char* name_ = nullptr;
};

// One file or folder of one side. A plain value: copies copy every field.
// A comparison holds millions of these, so the layout is kept to 48 bytes,
// and the path leaves out the side's root, which every entry of a side shares.
struct FileEntry {
    // The path below the side's root folder ("docs/a.txt"), spelled exactly
    // as the file system spells it, with '/' between levels. Empty for a
    // blank entry. The file is at root + path.
    EntryPath path;
    uint8_t excluded = 0;
    EntryStatus status = EntryStatus::Unclassified;
    uint16_t attributes = 0;  // kFolderAttribute, kSymlinkAttribute
    uint32_t checksum = 0;    // CRC-32 register
    uint64_t size = 0;
    int64_t lastWrite = 0;  // seconds since 1970-01-01 UTC
    uint64_t checksumBytes = 0;

    bool IsFolder() const { return (attributes & kFolderAttribute) != 0; }
    bool IsSymlink() const { return (attributes & kSymlinkAttribute) != 0; }
    bool IsBlank() const { return path.empty(); }
    // Where the entry is, for a side whose root folder text is `root` (ending with '/').
    std::string FullPath(std::string_view root) const {
        std::string full(root);
        path.AppendTo(full);
        return full;
    }

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
