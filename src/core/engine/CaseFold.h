#pragma once

#include <string>
#include <string_view>

namespace ravelmoor {

// Linux keeps a name's case, but Source and Target are paired, sorted and
// filtered without regard to case (so `B.TXT` and `b.txt` pair up). Folding is
// done on a copy of the text, never on the name used for file access.
//
// Text is folded name by name (between '/' and folder markers, which pass
// through unchanged), so a name folds alike wherever it stands. ASCII letters
// are folded byte by byte; a name of valid UTF-8 is folded with Qt's Unicode
// tables; a name that is not valid UTF-8 keeps its other bytes as they are,
// so that two different undecodable names never fold to the same text.
void AppendFolded(std::string_view text, std::string& out);
std::string FoldCase(std::string_view text);

// True when folding can be done byte by byte (no byte of 0x80 or above other
// than the folder marker).
bool IsAsciiText(std::string_view text);

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Protocol words ("MLSD", "type=dir", "Jan") ignore the case of ASCII letters
// only; every other byte must be equal.
inline bool EqualsAsciiFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

inline bool StartsWithAsciiFolded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsAsciiFolded(text.substr(0, prefix.size()), prefix);
}

}  // namespace ravelmoor
