#pragma once

#include <string>
#include <string_view>

namespace ravelmoor {

// File names on Linux are bytes: anything but '/' and NUL, and not always
// UTF-8. These functions turn such bytes into text that can be shown on a
// terminal or written as one field of a tab-separated line, and back.
//
// EscapeName keeps every valid UTF-8 character that is not a control
// character and writes everything else visibly:
//   backslash        \\            tab, line feed, carriage return   \t \n \r
//   other control bytes (0x00-0x1F, 0x7F), the bytes of C1 control
//   characters (U+0080-U+009F), and each byte that is not part of a valid
//   UTF-8 sequence                                                     \xHH
// (HH two upper-case hex digits). The result holds no tab, line feed or
// other control character, and UnescapeName gives the original bytes back
// exactly, so the escaping is reversible.
std::string EscapeName(std::string_view bytes);
void AppendEscapedName(std::string_view bytes, std::string& out);

// The inverse of EscapeName. False (with `bytes` unspecified) when `text`
// holds a backslash that does not start one of the escapes above.
bool UnescapeName(std::string_view text, std::string& bytes);

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}  // namespace ravelmoor
