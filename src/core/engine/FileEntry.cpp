#include "core/engine/FileEntry.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/engine/FileSystem.h"

namespace ravelmoor {

EntryPath::EntryPath(EntryPath&& other) noexcept {
    if (other.owned_) {
        TakeRaw(other);
    } else {
        // A borrowed text must not outlive its list, so a move out of a list
        // makes an owned copy.
        Assign(other.view());
    }
}

EntryPath& EntryPath::operator=(const EntryPath& other) {
    if (this != &other) Assign(other.view());
    return *this;
}

EntryPath& EntryPath::operator=(EntryPath&& other) noexcept {
    if (this == &other) return *this;
    if (other.owned_) {
        Release();
        TakeRaw(other);
    } else {
        Assign(other.view());
    }
    return *this;
}

EntryPath& EntryPath::operator=(std::string_view text) {
    Assign(text);
    return *this;
}

void EntryPath::Assign(std::string_view text) {
    if (text.empty()) {
        Release();
        return;
    }
    // `text` may point into our own bytes, so copy before releasing them.
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) throw std::bad_alloc();
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    Release();
    data_ = copy;
    size_ = static_cast<uint32_t>(text.size());
    owned_ = true;
}

void EntryPath::Release() {
    if (owned_) std::free(data_);
    data_ = nullptr;
    size_ = 0;
    owned_ = false;
}

void EntryPath::Borrow(char* data, uint32_t size) {
    Release();
    data_ = size == 0 ? nullptr : data;
    size_ = size;
    owned_ = false;
}

void EntryPath::TakeRaw(EntryPath& from) noexcept {
    data_ = from.data_;
    size_ = from.size_;
    owned_ = from.owned_;
    from.data_ = nullptr;
    from.size_ = 0;
    from.owned_ = false;
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

void EntryPath::RemoveFolderMarkers() {
    if (data_ == nullptr) return;
    size_ = static_cast<uint32_t>(ravelmoor::RemoveFolderMarkers(data_, size_));
    data_[size_] = '\0';
    if (size_ == 0) Release();
}

void FileEntry::SetFromFacts(std::string_view prefix, std::string_view name, uint32_t newAttributes,
                             uint64_t newSize, int64_t newLastWrite) {
    std::string text;
    text.reserve(prefix.size() + name.size());
    text.append(prefix).append(name);
    path = std::string_view(text);
    attributes = newAttributes;
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
