#include "core/twoway/ScanOrder.h"

#include <algorithm>
#include <cstring>

#include "core/engine/CaseFold.h"
#include "core/engine/FileEntry.h"
#include "core/engine/MatchKey.h"

namespace ravelmoor {
namespace {

// The key the scan gives a stored path: a marker before every folder name, as
// the listing puts one before the names of sub-folders, each name escaped and
// folded as the listing does it.
void AppendKey(std::string_view stored, std::string& key, std::string& escaped) {
    key.clear();
    size_t start = 0;
    while (start < stored.size()) {
        const size_t slash = stored.find('/', start);
        const bool folder = slash != std::string_view::npos;
        const std::string_view name =
            stored.substr(start, (folder ? slash : stored.size()) - start);
        if (folder) key.push_back(kFolderMarker);
        escaped.clear();
        AppendScanName(escaped, name);
        AppendFolded(escaped, key);
        if (!folder) break;
        start = slash + 1;
        if (start < stored.size()) key.push_back('/');
    }
}

}  // namespace

std::string StoredPath(std::string_view relative, bool folder) {
    std::string stored(relative);
    if (folder) stored.push_back('/');
    return stored;
}

std::string StoredPath(const FileEntry& entry) {
    std::string stored = entry.path.str();
    if (entry.IsFolder()) stored.push_back('/');
    return stored;
}

std::string_view PlainPath(std::string_view stored) {
    return IsStoredFolder(stored) ? stored.substr(0, stored.size() - 1) : stored;
}

bool IsStoredFolder(std::string_view stored) {
    return stored.ends_with('/');
}

int CompareStoredPaths(std::string_view a, std::string_view b) {
    if (a == b) return 0;
    // Whole folders both paths start with give both keys the same start:
    // only what follows them is keyed (the memory compares rows of one
    // folder far more often than rows of different ones).
    size_t common = 0;
    for (size_t i = 0, n = std::min(a.size(), b.size()); i < n && a[i] == b[i]; ++i) {
        if (a[i] == '/') common = i + 1;
    }
    a.remove_prefix(common);
    b.remove_prefix(common);
    thread_local std::string keyA;
    thread_local std::string keyB;
    thread_local std::string escaped;
    AppendKey(a, keyA, escaped);
    AppendKey(b, keyB, escaped);
    if (const int order = CompareKeys(keyA, keyB); order != 0) return order;
    const int bytes = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (bytes != 0) return bytes;
    return a.size() < b.size() ? -1 : 1;
}

bool FoldAlike(std::string_view a, std::string_view b) {
    thread_local std::string keyA;
    thread_local std::string keyB;
    thread_local std::string escaped;
    AppendKey(a, keyA, escaped);
    AppendKey(b, keyB, escaped);
    return CompareKeys(keyA, keyB) == 0;
}

}  // namespace ravelmoor
