// Feeds arbitrary bytes as a file name to the name escaping and checks what
// its users rely on: the text is valid UTF-8 with no control character in
// it (so it fits one terminal line or one tab-separated field), and
// unescaping gives the exact bytes back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/engine/NameEscape.h"

using namespace ravelmoor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    const std::string text = EscapeName(name);
    if (!IsValidUtf8(text)) std::abort();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) std::abort();
    }
    std::string back;
    if (!UnescapeName(text, back) || back != name) std::abort();
    // Unescaping arbitrary text must never crash, and whatever it accepts
    // must escape back to a form that unescapes to the same bytes.
    std::string bytes;
    if (UnescapeName(name, bytes)) {
        std::string again;
        if (!UnescapeName(EscapeName(bytes), again) || again != bytes) std::abort();
    }
    return 0;
}
