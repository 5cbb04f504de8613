#include "core/engine/FileEntry.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/engine/FileSystem.h"

namespace ravelmoor {

namespace {

// The empty folder text of the entries directly below the root.
constexpr char kNoFolder[] = {0, 0, 0, 0, 0};

std::string_view TextAt(const char* text, uint32_t length) {
    return {text, length};
}

}  // namespace

const char* const EntryPath::kRootFolder = kNoFolder + sizeof(uint32_t);

uint32_t EntryPath::LengthAt(const char* text) {
    uint32_t length = 0;
    std::memcpy(&length, text - sizeof(length), sizeof(length));
    return length;
}

EntryPath::EntryPath(EntryPath&& other) noexcept {
    if (other.Owned()) {
        TakeRaw(other);
    } else {
        // A borrowed text must not outlive its list, so a move out of a list
        // makes an owned copy.
        CopyFrom(other);
    }
}

EntryPath& EntryPath::operator=(const EntryPath& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

EntryPath& EntryPath::operator=(EntryPath&& other) noexcept {
    if (this == &other) return *this;
    if (other.Owned()) {
        Release();
        TakeRaw(other);
    } else {
        CopyFrom(other);
    }
    return *this;
}

EntryPath& EntryPath::operator=(std::string_view text) {
    Assign(text);
    return *this;
}

std::string_view EntryPath::Folder() const {
    if (name_ == nullptr) return {};
    if (folder_ != nullptr) return TextAt(folder_, LengthAt(folder_));
    const std::string_view whole = TextAt(name_, LengthAt(name_));
    const size_t slash = whole.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : whole.substr(0, slash + 1);
}

std::string_view EntryPath::Name() const {
    if (name_ == nullptr) return {};
    const std::string_view text = TextAt(name_, LengthAt(name_));
    if (folder_ != nullptr) return text;
    const size_t slash = text.rfind('/');
    return slash == std::string_view::npos ? text : text.substr(slash + 1);
}

size_t EntryPath::size() const {
    if (name_ == nullptr) return 0;
    return LengthAt(name_) + (folder_ != nullptr ? LengthAt(folder_) : 0);
}

void EntryPath::AppendTo(std::string& out) const {
    if (name_ == nullptr) return;
    if (folder_ != nullptr) out.append(folder_, LengthAt(folder_));
    out.append(name_, LengthAt(name_));
}

std::string EntryPath::str() const {
    std::string text;
    text.reserve(size());
    AppendTo(text);
    return text;
}

int EntryPath::Compare(const EntryPath& other) const {
    // The whole texts compared as if each were one string: folder, then name.
    const std::string_view mine[] = {Folder(), Name()};
    const std::string_view theirs[] = {other.Folder(), other.Name()};
    size_t i = 0;
    size_t j = 0;
    size_t at = 0;  // offset in mine[i]
    size_t otherAt = 0;
    for (;;) {
        while (i < 2 && at == mine[i].size()) {
            ++i;
            at = 0;
        }
        while (j < 2 && otherAt == theirs[j].size()) {
            ++j;
            otherAt = 0;
        }
        if (i == 2 || j == 2) return (i == 2 ? 0 : 1) - (j == 2 ? 0 : 1);
        const size_t n = std::min(mine[i].size() - at, theirs[j].size() - otherAt);
        const int order = std::memcmp(mine[i].data() + at, theirs[j].data() + otherAt, n);
        if (order != 0) return order < 0 ? -1 : 1;
        at += n;
        otherAt += n;
    }
}

bool operator==(const EntryPath& a, std::string_view b) {
    const std::string_view folder = a.Folder();
    const std::string_view name = a.Name();
    return b.size() == folder.size() + name.size() && b.starts_with(folder) &&
           b.substr(folder.size()) == name;
}

void EntryPath::Assign(std::string_view text) {
    if (text.empty()) {
        Release();
        return;
    }
    // `text` may point into our own bytes, so copy before releasing them.
    const auto length = static_cast<uint32_t>(text.size());
    auto* block = static_cast<char*>(std::malloc(sizeof(length) + text.size() + 1));
    if (block == nullptr) throw std::bad_alloc();
    std::memcpy(block, &length, sizeof(length));
    std::memcpy(block + sizeof(length), text.data(), text.size());
    block[sizeof(length) + text.size()] = '\0';
    Release();
    name_ = block + sizeof(length);
}

void EntryPath::CopyFrom(const EntryPath& other) {
    if (other.Owned()) {
        Assign(TextAt(other.name_, LengthAt(other.name_)));
    } else {
        Assign(other.str());
    }
}

void EntryPath::Release() {
    // NOLINTNEXTLINE(cppcoreguidelines-no-malloc): the block made by Assign
    if (Owned()) std::free(const_cast<char*>(name_ - sizeof(uint32_t)));
    folder_ = nullptr;
    name_ = nullptr;
}

void EntryPath::Borrow(const char* folder, const char* name) {
    Release();
    folder_ = folder;
    name_ = name;
}

void EntryPath::TakeRaw(EntryPath& from) noexcept {
    folder_ = from.folder_;
    name_ = from.name_;
    from.folder_ = nullptr;
    from.name_ = nullptr;
}

void AppendScanName(std::string& out, std::string_view name) {
    if (std::memchr(name.data(), kFolderMarker, name.size()) == nullptr) {
        out.append(name);
        return;
    }
    for (char c : name) {
        out.push_back(c);
        if (c == kFolderMarker) out.push_back(kEscapedFFTail);
    }
}

size_t RemoveFolderMarkers(char* text, size_t length) {
    char* first = static_cast<char*>(std::memchr(text, kFolderMarker, length));
    if (first == nullptr) return length;
    char* out = first;
    for (const char* in = first; in < text + length; ++in) {
        if (*in != kFolderMarker) {
            *out++ = *in;
        } else if (in + 1 < text + length && in[1] == kEscapedFFTail) {
            *out++ = kFolderMarker;  // the name's own byte
            ++in;
        }
    }
    return static_cast<size_t>(out - text);
}

void RemoveFolderMarkers(std::string& text) {
    text.resize(RemoveFolderMarkers(text.data(), text.size()));
}

void FileEntry::SetFromFacts(std::string_view prefix, std::string_view name, uint32_t newAttributes,
                             uint64_t newSize, int64_t newLastWrite) {
    std::string text;
    text.reserve(prefix.size() + name.size());
    text.append(prefix).append(name);
    path = std::string_view(text);
    attributes = static_cast<uint16_t>(newAttributes);
    size = newSize;
    lastWrite = newLastWrite;
    checksumBytes = 0;
    excluded = 0;
    status = EntryStatus::Unclassified;
}

void FileEntry::ReadFromPath(FileSystem& fs, std::string_view root, std::string_view relativePath) {
    EntryFacts facts;
    if (relativePath.empty() || !fs.ReadFacts(std::string(root).append(relativePath), facts)) {
        *this = FileEntry();
        return;
    }
    const size_t slash = relativePath.rfind('/');
    const size_t cut = slash == std::string_view::npos ? 0 : slash + 1;
    SetFromFacts(relativePath.substr(0, cut), relativePath.substr(cut), facts.attributes,
                 facts.size, facts.lastWrite);
}

}  // namespace ravelmoor
