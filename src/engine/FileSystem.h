#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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
};

enum class ListStatus {
    Listed,       // every child was handed to the sink (or the sink stopped the listing)
    NotListable,  // the folder could not be opened or read; nothing more to say
    Failed,       // the side itself failed (an FTP connection broke); the run cannot go on
};

class ListSink {
  public:
    virtual ~ListSink() = default;
    // Called once per child other than "." and "..". Returns false to stop the listing.
    virtual bool OnEntry(const DirEntryFacts& facts) = 0;
};

class FileReader {
  public:
    virtual ~FileReader() = default;
    // Reads up to `capacity` bytes. Returns the count read, 0 at the end of the
    // data, or -1 on a failure.
    virtual int64_t Read(char* buffer, size_t capacity) = 0;
};

// Every file access of the engine and of the synchronisation goes through this,
// so that a local folder and a folder on an FTP server are the same code path.
// Paths are full texts with '/' between levels; a folder text ends with '/'.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Lists the children of `folder` into `sink`: files, folders and symbolic
    // links (as files). Special files (FIFOs, sockets, devices) are left out.
    virtual ListStatus ListFolder(const std::string& folder, ListSink& sink) = 0;

    // Facts of one path, without following a final symbolic link. False when
    // nothing is there (or it cannot be looked at).
    virtual bool ReadFacts(const std::string& path, EntryFacts& facts) = 0;

    // Opens the content of a listed entry: a file's data, or a symbolic link's
    // text when `attributes` carries kSymlinkAttribute. Null on failure.
    virtual std::unique_ptr<FileReader> OpenForReading(const std::string& path,
                                                       uint32_t attributes) = 0;

    // Breaks a call that is blocked in another thread (a cancel request while
    // a server does not answer). Safe to call at any time from any thread.
    virtual void Interrupt() {}
};

}  // namespace ravelmoor
