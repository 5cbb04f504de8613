#include "core/engine/FileList.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "core/engine/CaseFold.h"
#include "core/engine/MatchKey.h"
#include "core/engine/Megasort.h"
#include "core/engine/Trace.h"

namespace ravelmoor {
namespace {

constexpr size_t kChunkSize = size_t{256} * 1024;

}  // namespace

FileList::~FileList() = default;

void FileList::Init() {
    Clear();
    maxPathLength_ = 0;
    std::lock_guard<std::mutex> guard(nameLock_);
    currentName_.clear();
}

void FileList::Clear() {
    blocks_.clear();
    count_ = 0;
    releasedBlocks_ = 0;
    chunks_.clear();
    chunkUsed_ = 0;
    chunkSize_ = 0;
    textBytes_ = 0;
}

FileEntry& FileList::Append() {
    if (count_ == blocks_.size() * kGrowthStep) {
        blocks_.push_back(std::make_unique<FileEntry[]>(kGrowthStep));
    }
    FileEntry& entry = ElementAt(count_++);
    entry = FileEntry();  // a slot left behind by RemoveRows may hold old fields
    return entry;
}

char* FileList::StoreText(size_t length) {
    const size_t needed = length + 1;  // with its NUL
    if (chunks_.empty() || chunkSize_ - chunkUsed_ < needed) {
        chunkSize_ = std::max(kChunkSize, needed);
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(chunkSize_));
        chunkUsed_ = 0;
        textBytes_ += chunkSize_;
    }
    char* text = chunks_.back().get() + chunkUsed_;
    chunkUsed_ += needed;
    return text;
}

void FileList::NotePathLength(size_t length) {
    const auto clipped =
        static_cast<int32_t>(std::min<size_t>(length, std::numeric_limits<int32_t>::max()));
    maxPathLength_ = std::max(maxPathLength_, clipped);
}

size_t FileList::Add(const FileEntry& entry) {
    const std::string_view text = entry.path.view();
    FileEntry& added = Append();  // blocks never move, so `entry` stays valid
    CopyFacts(added, entry);
    char* stored = StoreText(text.size());
    std::memcpy(stored, text.data(), text.size());
    stored[text.size()] = '\0';
    added.path.Borrow(stored, static_cast<uint32_t>(text.size()));
    NotePathLength(text.size());
    return count_ - 1;
}

size_t FileList::AddListed(std::string_view prefix, std::string_view name, uint32_t attributes,
                           uint64_t size, int64_t lastWrite) {
    if (std::memchr(name.data(), kFolderMarker, name.size()) != nullptr) {
        std::string escaped;
        AppendScanName(escaped, name);
        return AddListedEscaped(prefix, escaped, attributes, size, lastWrite);
    }
    return AddListedEscaped(prefix, name, attributes, size, lastWrite);
}

size_t FileList::AddListedEscaped(std::string_view prefix, std::string_view name,
                                  uint32_t attributes, uint64_t size, int64_t lastWrite) {
    const size_t length = prefix.size() + name.size();
    char* stored = StoreText(length);
    std::memcpy(stored, prefix.data(), prefix.size());
    std::memcpy(stored + prefix.size(), name.data(), name.size());
    stored[length] = '\0';
    FileEntry& added = Append();
    added.path.Borrow(stored, static_cast<uint32_t>(length));
    added.attributes = attributes;
    added.size = size;
    added.lastWrite = lastWrite;
    NotePathLength(length);
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
}

size_t FileList::AddTransferred(FileEntry& from) {
    FileEntry& added = Append();
    Relocate(added, from);
    NotePathLength(added.path.size());
    return count_ - 1;
}

void FileList::ReleaseBlocksBefore(size_t index) {
    const size_t fullBlocks = std::min(index / kGrowthStep, blocks_.size());
    for (; releasedBlocks_ < fullBlocks; ++releasedBlocks_)
        blocks_[releasedBlocks_].reset();
}

size_t FileList::MemoryUsage() const {
    size_t bytes = textBytes_ + blocks_.capacity() * sizeof(blocks_[0]);
    for (const auto& block : blocks_) {
        if (block) bytes += kGrowthStep * sizeof(FileEntry);
    }
    return bytes;
}

void FileList::Permute(std::vector<uint32_t>& order) {
    // order[k] is the index of the entry that belongs at k. Each cycle of the
    // permutation is walked once; a placed position is marked by order[k] == k.
    const size_t n = order.size();
    for (size_t start = 0; start < n; ++start) {
        if (order[start] == start) continue;
        FileEntry held;
        Relocate(held, ElementAt(start));
        size_t k = start;
        for (;;) {
            const size_t from = order[k];
            order[k] = static_cast<uint32_t>(k);
            if (from == start) {
                Relocate(ElementAt(k), held);
                break;
            }
            Relocate(ElementAt(k), ElementAt(from));
            k = from;
        }
    }
}

// Sorting builds one key per entry and hands them to Megasort.
bool FileList::Sort(const std::atomic<int32_t>* cancel, size_t prefixLength) {
    TraceLine("Start sort\n");
    const size_t n = count_;
    if (n < 2) return true;
    try {
        std::vector<SortKey> keys(n);
        // Plain ASCII keys are read in place and lowered through the map.
        // Others are folded once into `folded`; their pointers are set when
        // that text has stopped growing.
        std::string folded;
        std::vector<std::pair<uint32_t, size_t>> foldedAt;  // entry, offset
        for (size_t k = 0; k < n; ++k) {
            const std::string_view path = ElementAt(k).path.view();
            const std::string_view below = path.substr(std::min(prefixLength, path.size()));
            if (IsAsciiText(below)) {
                keys[k] = {reinterpret_cast<const unsigned char*>(below.data()),
                           static_cast<uint32_t>(below.size()), static_cast<uint32_t>(k)};
            } else {
                const size_t offset = folded.size();
                AppendFolded(below, folded);
                foldedAt.emplace_back(static_cast<uint32_t>(k), offset);
                keys[k] = {nullptr, static_cast<uint32_t>(folded.size() - offset),
                           static_cast<uint32_t>(k)};
            }
        }
        for (const auto& [k, offset] : foldedAt) {
            keys[k].bytes = reinterpret_cast<const unsigned char*>(folded.data() + offset);
        }

        if (!Megasort(keys.data(), n, KeyOrderTables().raw, cancel)) return false;
        if (cancel != nullptr && cancel->load() != 0) return true;

        std::vector<uint32_t> order(n);
        for (size_t k = 0; k < n; ++k)
            order[k] = keys[k].index;
        keys = std::vector<SortKey>();
        folded = std::string();
        Permute(order);
    } catch (const std::bad_alloc&) {
        TraceLine("Megasort: out of memory\n");
        return false;
    }
    return true;
}

}  // namespace ravelmoor
