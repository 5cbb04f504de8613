#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "core/engine/ComparisonRules.h"
#include "core/engine/FdGuard.h"

namespace ravelmoor {

class FolderListing;
class IoRing;
struct ScanMember;

// Reads the data of the pairs of small files in a folder of both sides right
// after the folder pair was listed (TreeScan::AddPair). The kernel looks up
// each name at the listing, and looking it up again for the open costs little
// while the listing's traces of it are still in the processor's caches, but
// about as much as the listing itself once millions of other names came in
// between, as they do when every file is read after the whole tree is listed.
//
// A pair is read here when a name is listed once on each side as a plain
// file, the comparison asks for its data (CRC; Both, when size and time
// agree), and the bytes its checksum counts fit in one block of side-by-side
// reading on each side. Its listing then carries what ReadPairSideBySide
// would give (SettleWholeBlocks); a pair that cannot be read here whole, for
// whatever reason, is left for the comparison's readers, which read it as
// before. Only for sides whose files are this machine's files
// (FileSystem::ReadsLocalFiles).
//
// The files of a folder pair are opened, read and closed with batched
// system calls where the kernel allows it (IoRing), one call at a time
// otherwise.
class FolderPairReader {
  public:
    FolderPairReader(const ComparisonRules& rules, const std::atomic<int32_t>* cancel,
                     std::atomic<uint64_t>* bytesChecked);

    // The reading state of one listing thread: its ring and buffers.
    class Worker {
      public:
        explicit Worker(const FolderPairReader& reader);
        ~Worker();
        Worker(const Worker&) = delete;
        Worker& operator=(const Worker&) = delete;

        // Reads the pairs of `listing`, the listed group of `members` (both
        // sides' members), into the listing's children.
        void Read(FolderListing& listing, const std::vector<ScanMember>& members);

      private:
        struct File {
            uint32_t child;
            uint32_t length;  // the bytes to read
            uint32_t at;      // in buffer_
            int32_t got;      // bytes read, or -1
        };
        bool Wanted(const FolderListing& listing, uint32_t source, uint32_t target) const;
        int Folder(const std::vector<ScanMember>& members, uint32_t member);
        // Reads the batch's files into buffer_, batched or one call at a time.
        void ReadBatch(const FolderListing& listing, const std::vector<ScanMember>& members);
        void ReadRinged(const FolderListing& listing, const std::vector<ScanMember>& members);
        void ReadOneByOne(const FolderListing& listing, const std::vector<ScanMember>& members);
        void Settle(FolderListing& listing);

        const FolderPairReader& reader_;
        std::unique_ptr<IoRing> ring_;
        std::vector<File> files_;            // pairs of files, source first
        std::pair<size_t, size_t> batch_{};  // the files of the batch being read
        std::vector<char> buffer_;
        std::vector<FdGuard> folders_;  // a handle per member, opened when first needed
    };
    std::unique_ptr<Worker> NewWorker() const { return std::make_unique<Worker>(*this); }

  private:
    ComparisonRules rules_;
    const std::atomic<int32_t>* cancel_;
    std::atomic<uint64_t>* bytesChecked_;
};

}  // namespace ravelmoor
