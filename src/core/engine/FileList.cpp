#include "core/engine/FileList.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/engine/CaseFold.h"

namespace ravelmoor {
namespace {

constexpr size_t kChunkSize = size_t{256} * 1024;

// Entry blocks that a walk has left behind, kept for the next list that
// grows. The two sides are listed on two threads, and the C library keeps
// memory freed on one thread for that thread's later allocations, so blocks
// freed by the walk would not serve the result lists it fills; handing the
// blocks over directly keeps the peak at one copy of the entries.
class SpareBlocks {
  public:
    using Block = std::unique_ptr<FileEntry[]>;

    void Put(Block block) {
        std::lock_guard<std::mutex> guard(lock_);
        if (blocks_.size() < kMost) blocks_.push_back(std::move(block));
    }
    Block Take() {
        std::lock_guard<std::mutex> guard(lock_);
        if (blocks_.empty()) return nullptr;
        Block block = std::move(blocks_.back());
        blocks_.pop_back();
        return block;
    }

  private:
    // A walk takes them back as fast as it gives them; this only bounds
    // what an abandoned walk leaves.
    static constexpr size_t kMost = 64;
    std::mutex lock_;
    std::vector<Block> blocks_;
};

SpareBlocks& Spares() {
    static SpareBlocks spares;
    return spares;
}

}  // namespace

FileList::~FileList() = default;

void FileList::Init() {
    Clear();
    std::lock_guard<std::mutex> guard(nameLock_);
    currentName_.clear();
}

void FileList::Clear() {
    // A table made for reading while growing is let go of too.
    if (readWhileGrowing_) blocks_ = std::vector<std::unique_ptr<FileEntry[]>>();
    blocks_.clear();
    readWhileGrowing_ = false;
    count_ = 0;
    releasedBlocks_ = 0;
    chunks_.clear();
    chunkUsed_ = 0;
    chunkSize_ = 0;
    textBytes_ = 0;
    lastFolder_ = nullptr;
}

FileEntry& FileList::Append() {
    if (count_ == blocks_.size() * kGrowthStep) {
        // A list read while it grows (AllowReadingWhileGrowing) must not
        // move its table under the reader.
        if (readWhileGrowing_ && blocks_.size() == blocks_.capacity()) std::abort();
        auto block = Spares().Take();
        blocks_.push_back(block ? std::move(block) : std::make_unique<FileEntry[]>(kGrowthStep));
    }
    FileEntry& entry = ElementAt(count_++);
    entry = FileEntry();  // a slot left behind by RemoveRows may hold old fields
    return entry;
}

const char* FileList::StoreText(std::string_view text) {
    const auto length = static_cast<uint32_t>(text.size());
    const size_t needed = sizeof(length) + text.size() + 1;
    if (chunks_.empty() || chunkSize_ - chunkUsed_ < needed) {
        chunkSize_ = std::max(kChunkSize, needed);
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(chunkSize_));
        chunkUsed_ = 0;
        textBytes_ += chunkSize_;
    }
    char* stored = chunks_.back().get() + chunkUsed_;
    chunkUsed_ += needed;
    std::memcpy(stored, &length, sizeof(length));
    std::memcpy(stored + sizeof(length), text.data(), text.size());
    stored[sizeof(length) + text.size()] = '\0';
    return stored + sizeof(length);
}

size_t FileList::Add(const FileEntry& entry) {
    if (entry.IsBlank()) {
        CopyFacts(Append(), entry);  // blocks never move, so `entry` stays valid
        return count_ - 1;
    }
    const std::string_view folder = entry.path.Folder();
    // Entries usually come folder by folder: each folder's text is kept once.
    if (lastFolder_ == nullptr ||
        std::string_view(lastFolder_, EntryPath::LengthAt(lastFolder_)) != folder) {
        lastFolder_ = AddFolder(folder);
    }
    const char* name = StoreText(entry.path.Name());
    FileEntry& added = Append();
    CopyFacts(added, entry);
    added.path.Borrow(lastFolder_, name);
    return count_ - 1;
}

const char* FileList::AddFolder(std::string_view folder) {
    return folder.empty() ? EntryPath::kRootFolder : StoreText(folder);
}

size_t FileList::AddListed(const char* folder, std::string_view name, uint32_t attributes,
                           uint64_t size, int64_t lastWrite) {
    const char* stored = StoreText(name);
    FileEntry& added = Append();
    added.path.Borrow(folder, stored);
    added.attributes = static_cast<uint16_t>(attributes);
    added.size = size;
    added.lastWrite = lastWrite;
    return count_ - 1;
}

size_t FileList::AddBlank() {
    Append();
    return count_ - 1;
}

void FileList::Relocate(FileEntry& to, FileEntry& from) noexcept {
    to.path.TakeRaw(from.path);
    CopyFacts(to, from);
}

void FileList::CopyFacts(FileEntry& to, const FileEntry& from) noexcept {
    to.attributes = from.attributes;
    to.checksum = from.checksum;
    to.size = from.size;
    to.lastWrite = from.lastWrite;
    to.checksumBytes = from.checksumBytes;
    to.excluded = from.excluded;
    to.status = from.status;
}

void FileList::RemoveRows(const std::vector<uint32_t>& rows) {
    if (rows.empty() || rows.front() >= count_) return;
    size_t kept = rows.front();
    size_t next = 0;
    for (size_t i = rows.front(); i < count_; ++i) {
        if (next < rows.size() && rows[next] == i) {
            ElementAt(i) = FileEntry();
            ++next;
        } else {
            Relocate(ElementAt(kept++), ElementAt(i));
        }
    }
    count_ = kept;
    blocks_.resize((count_ + kGrowthStep - 1) / kGrowthStep);
}

void FileList::SetCurrentName(std::string_view text) {
    std::lock_guard<std::mutex> guard(nameLock_);
    currentName_.assign(text);
}

std::string FileList::GetCurrentName() const {
    std::string name;
    {
        std::lock_guard<std::mutex> guard(nameLock_);
        name = currentName_;
    }
    RemoveFolderMarkers(name);
    return name;
}

void FileList::AdoptStorage(FileList& from) {
    for (auto& chunk : from.chunks_)
        chunks_.push_back(std::move(chunk));
    chunkUsed_ = from.chunkUsed_;
    chunkSize_ = from.chunkSize_;
    textBytes_ += from.textBytes_;
    from.chunks_.clear();
    from.chunkUsed_ = 0;
    from.chunkSize_ = 0;
    from.textBytes_ = 0;
    from.lastFolder_ = nullptr;
}

size_t FileList::AddTransferred(FileEntry& from) {
    FileEntry& added = Append();
    Relocate(added, from);
    return count_ - 1;
}

void FileList::AllowReadingWhileGrowing() {
    // 2^20 blocks of kGrowthStep entries: 96 GiB of entries; only the pages
    // of the table that are used take memory.
    constexpr size_t kMostBlocks = size_t{1} << 20;
    blocks_.reserve(kMostBlocks);
    readWhileGrowing_ = true;
}

void FileList::ReleaseBlocksBefore(size_t index) {
    // The list may be growing on another thread: its block table is not
    // looked at beyond the blocks asked for.
    const size_t fullBlocks = index / kGrowthStep;
    for (; releasedBlocks_ < fullBlocks; ++releasedBlocks_)
        Spares().Put(std::move(blocks_[releasedBlocks_]));
}

size_t FileList::MemoryUsage() const {
    size_t bytes = textBytes_ + blocks_.capacity() * sizeof(blocks_[0]);
    for (const auto& block : blocks_) {
        if (block) bytes += kGrowthStep * sizeof(FileEntry);
    }
    return bytes;
}

}  // namespace ravelmoor
