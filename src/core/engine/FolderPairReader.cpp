#include "core/engine/FolderPairReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/engine/Checksum.h"
#include "core/engine/FolderListing.h"
#include "core/engine/IoRing.h"
#include "core/engine/TimestampRule.h"

namespace ravelmoor {
namespace {

// Files read in one batch, and the most bytes they may hold together.
constexpr uint32_t kBatchFiles = 128;
constexpr size_t kBatchBytes = size_t{256} * 1024;

}  // namespace

FolderPairReader::FolderPairReader(const ComparisonRules& rules, const std::atomic<int32_t>* cancel,
                                   std::atomic<uint64_t>* bytesChecked)
    : rules_(rules), cancel_(cancel), bytesChecked_(bytesChecked) {}

FolderPairReader::Worker::Worker(const FolderPairReader& reader) : reader_(reader) {
    if (IoRing::Support().usable) {
        ring_ = std::make_unique<IoRing>(kBatchFiles);
        if (!ring_->Ok()) ring_.reset();
    }
    buffer_.resize(kBatchBytes);
}

FolderPairReader::Worker::~Worker() = default;

bool FolderPairReader::Worker::Wanted(const FolderListing& listing, uint32_t source,
                                      uint32_t target) const {
    const auto& children = listing.Children();
    const FolderListing::Child& a = children[source];
    const FolderListing::Child& b = children[target];
    // Plain files only: a link's content is its text, read elsewhere.
    if (a.attributes != 0 || b.attributes != 0) return false;
    const ComparisonRules& rules = reader_.rules_;
    if (rules.method == ComparisonMethod::Both) {
        FileEntry sourceFacts;
        FileEntry targetFacts;
        sourceFacts.size = a.size;
        sourceFacts.lastWrite = a.lastWrite;
        targetFacts.size = b.size;
        targetFacts.lastWrite = b.lastWrite;
        if (!SizeAndTimestampEqual(sourceFacts, targetFacts, rules.toleranceSeconds,
                                   rules.ignoreOneHour))
            return false;
    }
    return ChecksumByteCount(a.size, rules.crcChunk) <= kPairBlockSize &&
           ChecksumByteCount(b.size, rules.crcChunk) <= kPairBlockSize;
}

int FolderPairReader::Worker::Folder(const std::vector<ScanMember>& members, uint32_t member) {
    FdGuard& handle = folders_[member];
    if (handle.get() < 0)
        handle.reset(::open(members[member].listPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return handle.get();
}

void FolderPairReader::Worker::Read(FolderListing& listing,
                                    const std::vector<ScanMember>& members) {
    const auto& children = listing.Children();
    const size_t files = listing.FirstFolder();
    files_.clear();
    for (size_t k = 0; k < files;) {
        size_t end = k + 1;
        while (end < files && listing.Key(children[end]) == listing.Key(children[k]))
            ++end;
        // One name once on each side; the Source's member comes first.
        const auto source = static_cast<uint32_t>(k);
        const auto target = static_cast<uint32_t>(k + 1);
        if (end - k == 2 && members[children[source].member].side == 0 &&
            members[children[target].member].side == 1 && Wanted(listing, source, target)) {
            for (const uint32_t child : {source, target}) {
                const uint64_t length =
                    ChecksumByteCount(children[child].size, reader_.rules_.crcChunk);
                files_.push_back({child, static_cast<uint32_t>(length), 0, -1});
            }
        }
        k = end;
    }
    if (files_.empty()) return;
    folders_.clear();
    folders_.resize(members.size());
    for (size_t begin = 0; begin < files_.size();) {
        if (reader_.cancel_ != nullptr && reader_.cancel_->load(std::memory_order_relaxed) != 0)
            break;
        // A batch ends after whole pairs.
        size_t end = begin;
        size_t bytes = 0;
        while (end < files_.size() && end - begin + 2 <= kBatchFiles &&
               bytes + files_[end].length + files_[end + 1].length <= kBatchBytes) {
            for (size_t f = end; f < end + 2; ++f) {
                files_[f].at = static_cast<uint32_t>(bytes);
                bytes += files_[f].length;
            }
            end += 2;
        }
        batch_ = {begin, end};
        ReadBatch(listing, members);
        Settle(listing);
        begin = end;
    }
    folders_.clear();
}

void FolderPairReader::Worker::ReadBatch(const FolderListing& listing,
                                         const std::vector<ScanMember>& members) {
    if (ring_) {
        ReadRinged(listing, members);
    } else {
        ReadOneByOne(listing, members);
    }
}

void FolderPairReader::Worker::ReadRinged(const FolderListing& listing,
                                          const std::vector<ScanMember>& members) {
    const auto& children = listing.Children();
    unsigned queued = 0;
    for (size_t f = batch_.first; f < batch_.second; ++f) {
        File& file = files_[f];
        file.got = file.length == 0 ? 0 : -1;
        if (file.length == 0) continue;
        const FolderListing::Child& child = children[file.child];
        const int folder = Folder(members, child.member);
        if (folder < 0) continue;
        ring_->QueueWholeRead(static_cast<unsigned>(f - batch_.first), folder,
                              listing.NameText(child), buffer_.data() + file.at, file.length, f);
        ++queued;
    }
    if (queued == 0) return;
    if (!ring_->Wait(3 * queued)) {
        // The ring itself broke: these pairs are left to the readers, and
        // this thread reads one call at a time from now on.
        ring_.reset();
        return;
    }
    IoRing::Result result{};
    while (ring_->Pop(result)) {
        if (result.step == IoRing::Step::Read) files_[result.tag].got = result.value;
    }
}

void FolderPairReader::Worker::ReadOneByOne(const FolderListing& listing,
                                            const std::vector<ScanMember>& members) {
    const auto& children = listing.Children();
    for (size_t f = batch_.first; f < batch_.second; ++f) {
        File& file = files_[f];
        file.got = file.length == 0 ? 0 : -1;
        if (file.length == 0) continue;
        const FolderListing::Child& child = children[file.child];
        const int folder = Folder(members, child.member);
        if (folder < 0) continue;
        const FdGuard fd(::openat(folder, listing.NameText(child),
                                  O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK));
        if (fd.get() < 0) continue;
        uint32_t have = 0;
        while (have < file.length) {
            const ssize_t got =
                ::read(fd.get(), buffer_.data() + file.at + have, file.length - have);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            have += static_cast<uint32_t>(got);
        }
        file.got = static_cast<int32_t>(have);
    }
}

void FolderPairReader::Worker::Settle(FolderListing& listing) {
    auto& children = listing.Children();
    uint64_t bytes = 0;
    for (size_t f = batch_.first; f < batch_.second; f += 2) {
        const File& sourceFile = files_[f];
        const File& targetFile = files_[f + 1];
        // Anything short of the whole counted bytes is the readers' to judge.
        if (sourceFile.got != static_cast<int32_t>(sourceFile.length) ||
            targetFile.got != static_cast<int32_t>(targetFile.length))
            continue;
        FolderListing::Child& source = children[sourceFile.child];
        FolderListing::Child& target = children[targetFile.child];
        FileEntry a;
        FileEntry b;
        a.size = source.size;
        b.size = target.size;
        const PairReading reading =
            SettleWholeBlocks(a, buffer_.data() + sourceFile.at, b, buffer_.data() + targetFile.at,
                              reader_.rules_.crcChunk);
        const ListedRead read =
            reading == PairReading::Differs ? ListedRead::Differs : ListedRead::Summed;
        source.read = target.read = read;
        source.checksum = a.checksum;
        target.checksum = b.checksum;
        source.checksumBytes = static_cast<uint32_t>(a.checksumBytes);
        target.checksumBytes = static_cast<uint32_t>(b.checksumBytes);
        bytes += sourceFile.length + targetFile.length;
    }
    if (reader_.bytesChecked_ != nullptr && bytes > 0)
        reader_.bytesChecked_->fetch_add(bytes, std::memory_order_relaxed);
}

}  // namespace ravelmoor
