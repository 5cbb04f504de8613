#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/engine/FileEntry.h"
#include "core/engine/Outcome.h"

namespace ravelmoor {

// What a listing says about one child of a folder.
struct DirEntryFacts {
    std::string_view name;
    uint32_t attributes = 0;  // kFolderAttribute, kSymlinkAttribute
    uint64_t size = 0;
    int64_t lastWrite = 0;  // seconds since 1970-01-01 UTC
};

// What a lookup of one path says.
struct EntryFacts {
    uint32_t attributes = 0;
    uint64_t size = 0;
    int64_t lastWrite = 0;
    uint32_t lastWriteNanoseconds = 0;  // below the second, where the side knows it
    uint32_t mode = 0;                  // permission bits (07777); 0 where the side does not say

    bool IsFolder() const { return (attributes & kFolderAttribute) != 0; }
};

enum class ListStatus {
    Listed,       // every child was handed to the sink (or the sink stopped the listing)
    NotListable,  // the folder could not be opened or read; nothing more to say
    Failed,       // the side itself failed (an FTP connection broke); the run cannot go on
};
// How a listing ended. The reason of NotListable says why the folder could
// not be listed (the system's error, the server's reply, the listing's
// bounds), for the message that names it; that of Failed what went wrong with
// the side (empty when a cancel broke the call off).
using ListOutcome = Outcome<ListStatus>;

class ListSink {
  public:
    virtual ~ListSink() = default;
    // Called once per child other than "." and "..". Returns false to stop the listing.
    virtual bool OnEntry(const DirEntryFacts& facts) = 0;
    // A child that was left out because its name cannot be used here (an FTP
    // server listed a name holding a line break), but that a name on the
    // other side may equal: rows of that name are not to be trusted.
    virtual void OnUnusableName(std::string_view /*name*/) {}
};

class FileReader {
  public:
    virtual ~FileReader() = default;
    // Reads up to `capacity` bytes. Returns the count read, 0 at the end of the
    // data, or -1 on a failure.
    virtual int64_t Read(char* buffer, size_t capacity) = 0;
    // The descriptor of an open local file, so that a local copy can let the
    // kernel move the data; -1 for anything else.
    virtual int NativeHandle() const { return -1; }
};

// The words of the system error `error`.
std::string ErrorText(int error);

// A reader of `text` held in memory: a symbolic link's content is its text.
std::unique_ptr<FileReader> TextReader(std::string text);

// What became of one change made through a FileSystem.
enum class WriteStatus : uint8_t {
    Done,
    Exists,     // CopyIn without replacing: the destination is there; MakeFolder: it was there
    NotEmpty,   // RemoveFolder: the folder still holds something
    NoTrash,    // MoveToTrash: no trash takes this object
    Refused,    // the way to the path leaves the root (a link, a file or ".." in the way)
    Cancelled,  // the cancel word was set; nothing was left behind
    Failed,
};

struct WriteOutcome : Outcome<WriteStatus> {
    // Spelt out rather than inherited: clang-tidy takes an inherited explicit
    // constructor for an implicit one and asks for braces that do not compile.
    WriteOutcome() = default;
    explicit WriteOutcome(WriteStatus newStatus, std::string why = {})
        : Outcome(newStatus, std::move(why)) {}

    uint64_t bytes = 0;  // data written by a copy
    // Where MoveToTrash put the object (its full path in the trash's files/
    // folder), so that it can be brought back; empty where that is not known.
    std::string trashedTo;
};

struct CopyControl {
    bool replaceExisting = false;
    const std::atomic<int32_t>* cancel = nullptr;  // checked between pieces of data
    // Called once the new data is complete and checked, just before it
    // replaces an existing destination, to put the old one where it can be
    // got back. Anything but Done keeps the destination as it is, discards
    // the copy and ends the copy with that outcome.
    std::function<WriteOutcome()> setAside;
    // The copy's bytes are checked before it is put in place: a local copy
    // is read back piece by piece and compared with what was read from the
    // original, a copy on a server is looked at for its size (and summed
    // there where the server can).
    bool verify = true;
    // Told of each piece of data as it is written, on the copying thread
    // (none by default), so that a display moves during a large file.
    std::function<void(uint64_t)> moved = nullptr;

    bool Cancelled() const {
        return cancel != nullptr && cancel->load(std::memory_order_relaxed) != 0;
    }
    void Moved(uint64_t bytes) const {
        if (moved) moved(bytes);
    }
};

// How a checksum asked of the side where a file lies came out.
enum class InPlaceSum : uint8_t {
    NotHere,  // the side does not compute checksums itself: read the data
    Summed,
    Unreadable,
};

// A copy written and checked under its temporary name, not yet in place
// (FileSystem::StageCopy). Destroying one that was not committed removes its
// temporary object, so a broken or cancelled group leaves nothing behind.
class StagedCopy {
  public:
    virtual ~StagedCopy() = default;
    // The bytes of data written.
    virtual uint64_t Bytes() const = 0;
};

// A hidden name for a copy on its way, made beside its destination:
// ".ravelmoor-" and 16 hexadecimal digits, then ".part".
std::string TemporaryName();
// Whether `name` has that pattern: a comparison never lists such a file, and
// a synchronisation removes the ones a broken copy left behind.
bool IsTemporaryName(std::string_view name);

// The folder at a server side's root where a sync keeps what it replaces or
// deletes there (ServerVersions). It is the sync's own: never listed, at any
// level, so never compared, copied or deleted.
inline constexpr std::string_view kVersionsFolder = ".ravelmoor-versions";

// Every file access of the engine and of the synchronisation goes through this,
// so that a local folder and a folder on an FTP server are the same code path.
// Paths are full texts with '/' between levels; a folder text ends with '/'.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Lists the children of `folder` into `sink`: files, folders and symbolic
    // links (as files). Special files (FIFOs, sockets, devices) are left out.
    virtual ListOutcome ListFolder(const std::string& folder, ListSink& sink) = 0;
    // Whether ListFolder may be called from several threads at once (a local
    // disk). A connection to a server lists one folder at a time.
    virtual bool ListsConcurrently() const { return false; }
    // Whether the side's files are this machine's own, opened by their paths
    // with the system's calls, exactly as OpenForReading opens them: the
    // comparison may then read many of them at once with batched calls
    // instead of through OpenForReading.
    virtual bool ReadsLocalFiles() const { return false; }

    // Facts of one path, without following a final symbolic link. False when
    // nothing is there (or it cannot be looked at).
    virtual bool ReadFacts(const std::string& path, EntryFacts& facts) = 0;
    // The device and inode of the object at `path` (a link's own) where the
    // side can tell them (a server through its listing agent); false where
    // it can not. A local side is asked by statx instead.
    virtual bool ReadIdentity(const std::string& /*path*/, uint64_t& /*device*/,
                              uint64_t& /*inode*/) {
        return false;
    }

    // Opens the content of a listed entry: a file's data, or a symbolic link's
    // text when `attributes` carries kSymlinkAttribute. Null on failure.
    virtual std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                                       uint32_t attributes) = 0;

    // ReadFacts and OpenForReading of `relative` below `root` (a root text,
    // ending in '/'), for a synchronisation: a local side reaches it from the
    // root with no symbolic link followed in any level, so an object that a
    // link swapped in since the comparison leads nowhere (false or null,
    // errno ELOOP). Others look up root + relative.
    virtual bool ReadFactsBelow(const std::string& root, std::string_view relative,
                                EntryFacts& facts) {
        return ReadFacts(root + std::string(relative), facts);
    }
    virtual std::unique_ptr<FileReader> OpenBelow(const std::string& root,
                                                  std::string_view relative, uint32_t attributes) {
        return OpenForReading(root + std::string(relative), attributes);
    }

    // The checksum of `entry` (at `folder` + entry.path), computed where the
    // file lies so that its data need not cross a network (a listing agent
    // on a server): entry.checksum and entry.checksumBytes as ComputeChecksum
    // gives them. ComputeChecksum asks this first; NotHere, the default,
    // makes it read the data itself.
    virtual InPlaceSum SumInPlace(FileEntry& /*entry*/, std::string_view /*folder*/,
                                  uint64_t /*limit*/) {
        return InPlaceSum::NotHere;
    }
    // The files SumInPlace will be asked about next, so that a side that
    // computes them elsewhere can ask for them all at once.
    virtual void ExpectSums(const std::vector<const FileEntry*>& /*entries*/,
                            std::string_view /*folder*/, uint64_t /*limit*/) {}

    // Asks for the exact times of `entries` (at `folder` + entry.path), which
    // the listing gave coarser than a second (TimeSpan): each entry whose
    // exact time comes back gets it, its span attributes cleared; the others
    // keep their listed time. Returns how many were asked about; the
    // default, for a side whose listing is exact, asks nothing.
    virtual size_t AskExactTimes(const std::vector<FileEntry*>& /*entries*/,
                                 std::string_view /*folder*/) {
        return 0;
    }

    // Whether names in `folder` are looked up without regard to case (a FAT
    // stick, a casefolded folder), so that two names differing only in case
    // would be one file there.
    virtual bool IgnoresCase(const std::string& /*folder*/) { return false; }

    // Breaks a call that is blocked in another thread (a cancel request while
    // a server does not answer). Safe to call at any time from any thread.
    virtual void Interrupt() {}

    // --- The write side, used by the synchronisation. A place is named by a
    // side's root text (ending in '/') and a path below it ('/' between
    // levels). The path is followed from the root one level at a time, never
    // through a symbolic link, a file or a "." or ".." level, so nothing
    // outside the root is ever written or removed whatever the names in the
    // tree: such a path is Refused. A side that cannot be written keeps these
    // defaults, which fail.

    // Copies the file or symbolic link `fromPath` of `from` to `relative`
    // below `root`, making missing folders on the way. The data goes to a
    // temporary name beside the destination and replaces it in one rename,
    // with the original's mode bits and modification time; a link is made
    // again, never followed. The copy is Failed, and the destination left as
    // it was, when the bytes written differ from the original's size when the
    // copy began or the original changed (size or time) while it was copied;
    // likewise when it is cancelled. Without `replaceExisting` an existing destination is left
    // alone and the answer is Exists.
    virtual WriteOutcome CopyIn(FileSystem& from, const std::string& fromPath,
                                const std::string& root, std::string_view relative,
                                const CopyControl& control);

    // The first half of CopyIn, for copies flushed as a group: the data is
    // written to the temporary name and checked exactly as CopyIn checks it,
    // and writing it out is started, but nothing is renamed. Done with
    // `staged` set when the copy waits for CommitCopies; Done with `staged`
    // null when the copy is already complete and in place (a symbolic link,
    // a side that copies one file at a time: the default runs CopyIn). Any
    // other outcome is CopyIn's, with nothing left behind.
    virtual WriteOutcome StageCopy(FileSystem& from, const std::string& fromPath,
                                   const std::string& root, std::string_view relative,
                                   const CopyControl& control, std::unique_ptr<StagedCopy>& staged);
    // Puts a group of staged copies of this side in place: first their data
    // reaches the disk (one flush for the group where the file system allows
    // it), then, copy by copy in order, an existing destination is handed to
    // its `control.setAside` and the copy is renamed into place. No copy of
    // the group appears under its final name before the flush succeeded; a
    // failed flush fails every copy of the group with its reason and removes
    // their temporary files. outcomes[i] tells copies[i]; every copy is
    // consumed. The controls given to StageCopy must still be valid.
    virtual void CommitCopies(std::vector<std::unique_ptr<StagedCopy>>& copies,
                              std::vector<WriteOutcome>& outcomes);
    // Makes the folder and every missing folder above it; Exists when it was there.
    virtual WriteOutcome MakeFolder(const std::string& root, std::string_view relative);
    // Gives the folder the mode bits (where `facts.mode` says them, setgid and
    // sticky included) and the modification time of `facts`; called once its
    // content has been written. A side that keeps neither does nothing.
    virtual WriteOutcome SetFolderFacts(const std::string& root, std::string_view relative,
                                        const EntryFacts& facts);
    // Removes a folder that is empty; NotEmpty otherwise.
    virtual WriteOutcome RemoveFolder(const std::string& root, std::string_view relative);
    // False where nothing deleted can be got back (an FTP server): the user
    // is then asked once, before the batch, about deleting for good.
    virtual bool HasTrash() const { return true; }
    // Moves a file or link to the user's trash; NoTrash where no trash takes it.
    virtual WriteOutcome MoveToTrash(const std::string& root, std::string_view relative);
    // Deletes a file or link (or an empty folder) for good.
    virtual WriteOutcome DeletePermanently(const std::string& root, std::string_view relative);
    // Whether MoveToTrash keeps what it takes on the side's server (in its
    // versions folder) rather than in the user's trash: the words differ.
    virtual bool KeepsOnServer() const { return false; }
    // Renames `relative` to `newRelative`, both below `root`, on the side
    // itself (no data moves), making the missing folders on the way to the
    // new place. Never replaces anything: Exists when something is at the
    // new place.
    virtual WriteOutcome Rename(const std::string& root, std::string_view relative,
                                std::string_view newRelative);
};

// The check every writer makes before a copy: `fromPath` on `from` is still
// there and is not a folder. Done with its `facts`, or Failed saying why in
// the system's words.
WriteOutcome ReadOriginal(FileSystem& from, const std::string& fromPath, EntryFacts& facts);

}  // namespace ravelmoor
