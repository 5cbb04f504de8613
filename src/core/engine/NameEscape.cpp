#include "core/engine/NameEscape.h"

#include <cstdint>

namespace ravelmoor {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Length of the well-formed UTF-8 sequence at the start of `s` (which starts
// with a byte of 0x80 or above); 0 when there is none.
size_t Utf8SequenceLength(const unsigned char* s, size_t left) {
    const unsigned char b = s[0];
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0) low = 0xA0;   // no overlong forms
        if (b == 0xED) high = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (left < length) return 0;
    if (s[1] < low || s[1] > high) return 0;
    for (size_t i = 2; i < length; ++i) {
        if (s[i] < 0x80 || s[i] > 0xBF) return 0;
    }
    return length;
}

void AppendHexByte(unsigned char b, std::string& out) {
    out.push_back('\\');
    out.push_back('x');
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 15]);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

void AppendEscapedName(std::string_view bytes, std::string& out) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b >= 0x20 && b < 0x7F) {
            if (b == '\\') out.push_back('\\');
            out.push_back(static_cast<char>(b));
            ++i;
        } else if (b == '\t') {
            out += "\\t";
            ++i;
        } else if (b == '\n') {
            out += "\\n";
            ++i;
        } else if (b == '\r') {
            out += "\\r";
            ++i;
        } else if (b < 0x80) {
            AppendHexByte(b, out);  // other control bytes and DEL
            ++i;
        } else {
            const size_t length = Utf8SequenceLength(s + i, n - i);
            // U+0080..U+009F are the C1 control characters, C2 80..C2 9F.
            const bool c1Control = length == 2 && b == 0xC2 && s[i + 1] <= 0x9F;
            if (length == 0) {
                AppendHexByte(b, out);
                ++i;
            } else if (c1Control) {
                AppendHexByte(s[i], out);
                AppendHexByte(s[i + 1], out);
                i += 2;
            } else {
                out.append(bytes.substr(i, length));
                i += length;
            }
        }
    }
}

std::string EscapeName(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    AppendEscapedName(bytes, out);
    return out;
}

bool UnescapeName(std::string_view text, std::string& bytes) {
    bytes.clear();
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\') {
            bytes.push_back(c);
            continue;
        }
        if (++i >= text.size()) return false;
        switch (text[i]) {
            case '\\':
                bytes.push_back('\\');
                break;
            case 't':
                bytes.push_back('\t');
                break;
            case 'n':
                bytes.push_back('\n');
                break;
            case 'r':
                bytes.push_back('\r');
                break;
            case 'x': {
                if (i + 2 >= text.size()) return false;
                const int high = HexValue(text[i + 1]);
                const int low = HexValue(text[i + 2]);
                if (high < 0 || low < 0) return false;
                bytes.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

bool IsValidUtf8(std::string_view bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size();) {
        if (s[i] < 0x80) {
            ++i;
            continue;
        }
        const size_t length = Utf8SequenceLength(s + i, bytes.size() - i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

}  // namespace ravelmoor
