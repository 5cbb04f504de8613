// Feeds arbitrary bytes to the FTP listing parsers as one listing, line by
// line, and checks that every accepted item names a child inside its folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/ftp/FtpListingParser.h"

using namespace ravelmoor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the form: MLSD or LIST.
    const bool machine = (data[0] & 1) != 0;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool crlf = UsesCrLf(text);
    const int64_t now = 1710068400;
    while (!text.empty()) {
        const std::string_view line = TakeListingLine(text, crlf);
        FtpListItem item;
        const FtpLineOutcome outcome =
            machine ? ParseMlsdLine(line, item) : ParseListLine(line, now, item);
        if (outcome != FtpLineOutcome::Item && outcome != FtpLineOutcome::BadName) continue;
        // The name lies inside the line.
        if (item.name.data() < line.data() ||
            item.name.data() + item.name.size() > line.data() + line.size()) {
            std::abort();
        }
        if (outcome == FtpLineOutcome::Item &&
            (item.name.empty() || item.name == "." || item.name == ".." ||
             item.name.find_first_of(std::string_view("/\r\n\0", 4)) != std::string_view::npos)) {
            std::abort();
        }
    }
    FtpListItem item;
    ParseMlstLine(std::string_view(reinterpret_cast<const char*>(data), size), item);
    return 0;
}
