#pragma once

#include <cstdint>
#include <string_view>

#include "core/engine/FileEntry.h"

namespace ravelmoor {

enum class FtpItemKind { File, Folder };

// One child of a folder as a listing line describes it.
struct FtpListItem {
    std::string_view name;  // points into the parsed line, spelled as the server gives it
    FtpItemKind kind = FtpItemKind::File;
    uint64_t size = 0;
    int64_t lastWrite = 0;  // seconds since 1970-01-01 UTC
    // A LIST time is a reading of the server's clock: `lastWrite` takes it
    // as local time here, `clockReading` holds its fields as if they were
    // UTC, for a server whose offset is known. MLSD times are UTC in both.
    int64_t clockReading = 0;
    bool isClockReading = false;
    // How exactly the line gives the time: 0 (to the second),
    // kTimeMinuteAttribute or kTimeDayAttribute (FileEntry.h).
    uint32_t timeSpan = 0;
};

enum class FtpLineOutcome {
    Item,     // the line describes one child
    Skip,     // nothing to list: ".", "..", a summary line, a device or pipe
    Refused,  // a line that cannot be read: what it lists is unknown
    BadName,  // a readable line whose name cannot be a name in the folder (empty,
              // ".", "..", or holding '/', CR, LF or NUL); `item.name` holds it
};

// One line of an MLSD listing ("fact=value;...; name"). Times of the "modify"
// fact are UTC. Symbolic links count as files and are never followed.
FtpLineOutcome ParseMlsdLine(std::string_view line, FtpListItem& item);

// The facts line of an MLST reply (without its leading blank): as above, but
// the name is the path the server was asked about and is not checked.
FtpLineOutcome ParseMlstLine(std::string_view line, FtpListItem& item);

// One line of a LIST listing, in the Unix `ls -l` form or the DOS/Windows
// form. Their times are clock readings of the server, to the minute (or to
// the day where the line shows a year instead of the time), and are taken as
// local time; a Unix date without a year gets the year that keeps it from
// lying in the future of `now` (seconds since 1970). A link "a -> b" is a
// file named a.
FtpLineOutcome ParseListLine(std::string_view line, int64_t now, FtpListItem& item);

// A time as MLSD, MLST and MDTM give it: "YYYYMMDDHHMMSS", with an optional
// fraction that is dropped, read as UTC. False on anything else.
bool ParseMachineTime(std::string_view text, int64_t& time);

// Whether a listing ends its lines with CR LF (then a lone LF or CR is part
// of a name) rather than with a bare LF.
bool UsesCrLf(std::string_view listing);

// Takes the next line (without its line end) from the front of `text`: lines
// end at CR LF when `crlf` is set, else at LF.
std::string_view TakeListingLine(std::string_view& text, bool crlf);

}  // namespace ravelmoor
