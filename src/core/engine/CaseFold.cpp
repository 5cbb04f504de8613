#include "core/engine/CaseFold.h"

#include <QByteArray>
#include <QString>

#include "core/engine/FileEntry.h"

namespace ravelmoor {
namespace {

void AppendAsciiLowered(std::string_view text, std::string& out) {
    for (char c : text)
        out.push_back(AsciiLower(c));
}

void AppendFoldedSegment(std::string_view segment, std::string& out) {
    if (IsAsciiText(segment)) {
        AppendAsciiLowered(segment, out);
        return;
    }
    const QString decoded =
        QString::fromUtf8(segment.data(), static_cast<qsizetype>(segment.size()));
    const QByteArray roundTrip = decoded.toUtf8();
    if (std::string_view(roundTrip.constData(), static_cast<size_t>(roundTrip.size())) != segment) {
        AppendAsciiLowered(segment, out);  // not UTF-8: keep the raw bytes distinct
        return;
    }
    const QByteArray folded = decoded.toCaseFolded().toUtf8();
    out.append(folded.constData(), static_cast<size_t>(folded.size()));
}

// 0xFF is never part of UTF-8 and '/' never part of a name, so the text is
// folded name by name: a name folds alike wherever it stands, and the scan
// can sort a folder's names by keys folded once per name.
void AppendFoldedSlowly(std::string_view text, std::string& out) {
    size_t start = 0;
    for (;;) {
        const size_t split = text.find_first_of("\xFF/", start);
        const size_t end = split == std::string_view::npos ? text.size() : split;
        AppendFoldedSegment(text.substr(start, end - start), out);
        if (split == std::string_view::npos) break;
        out.push_back(text[split]);
        start = split + 1;
    }
}

}  // namespace

bool IsAsciiText(std::string_view text) {
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && c != kFolderMarker) return false;
    }
    return true;
}

void AppendFolded(std::string_view text, std::string& out) {
    // One pass for the usual all-ASCII text; the first other byte sends the
    // whole text to the slow path.
    const size_t start = out.size();
    out.resize(start + text.size());
    char* folded = out.data() + start;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80 && c != kFolderMarker) {
            out.resize(start);
            AppendFoldedSlowly(text, out);
            return;
        }
        folded[i] = AsciiLower(c);
    }
}

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendFolded(text, out);
    return out;
}

}  // namespace ravelmoor
