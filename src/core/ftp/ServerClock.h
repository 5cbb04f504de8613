#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ftp/FtpListingParser.h"

namespace ravelmoor {

// The command that gives a file on an FTP server the time it should have.
enum class TimeSetter : uint8_t {
    Untried,
    Mfmt,          // "MFMT YYYYMMDDHHMMSS path"
    MdtmWithTime,  // "MDTM YYYYMMDDHHMMSS path", where MDTM takes a time
    SiteUtime,     // "SITE UTIME YYYYMMDDHHMMSS path"
    None,          // none of them works: an upload keeps the server's time
};

// What one FTP server's clock says and how its times become UTC. A LIST time
// is a reading of the server's clock in its own time zone; MDTM should answer
// in UTC but does not everywhere (a server may answer in its zone too, or
// differ from its listing by a summer-time hour). Each source's offset is
// found by a probe (FtpFileSystem::LearnClock): a small file uploaded, its
// listed time and its MDTM answer set against the upload time, rounded to
// the nearest quarter hour (time zones step by quarters; a clock a few
// seconds off is left alone, since the times a sync sets are exact anyway).
// Where no probe could write (a read-only connection) the offsets are
// unknown: LIST times are read as local time here, MDTM as UTC.
struct ServerClock {
    bool known = false;
    // What the listing shows minus UTC, in seconds (for MLSD normally 0).
    int32_t listingOffset = 0;
    // Whether the listing's offset is this machine's own at the probe, so
    // that its readings are read as local time here, summer time included.
    bool listingIsLocal = false;
    bool mdtmKnown = false;    // the server answered MDTM for the probe
    int32_t mdtmOffset = 0;    // what MDTM answers minus UTC
    bool mdtmIsLocal = false;  // as listingIsLocal, for MDTM's answers
    TimeSetter setter = TimeSetter::Untried;
    int32_t setterOffset = 0;  // the time the setter is sent minus UTC

    // The UTC time of a listed item, and how exactly it is known.
    int64_t ListedTime(const FtpListItem& item) const;
    // The UTC time of an MDTM answer's text ("YYYYMMDDHHMMSS"); false when it
    // is not a time.
    bool MdtmTime(std::string_view answer, int64_t& time) const;
    // The text to send a setter so that the file gets the UTC time `time`.
    std::string SetterText(int64_t time) const;

    // "+09:00 (LIST, MDTM); times kept with MDTM", "unknown: ..." (English;
    // the command line's and the trace's words).
    std::string Describe() const;
    // One line of text, and back; a text that cannot be read gives an
    // unknown clock.
    std::string Serialise() const;
    static ServerClock Parse(std::string_view text);

    bool operator==(const ServerClock&) const = default;
};

// The offset of a clock reading (`reading` to `reading + span`) taken of a
// file stamped between `before` and `after` (UTC), rounded to the nearest
// quarter hour.
int32_t OffsetOfReading(int64_t reading, int64_t span, int64_t before, int64_t after);

// The offset, in seconds, that this machine's own zone has at `time`.
int32_t LocalOffset(int64_t time);

// The UTC time of a clock reading (its fields as if they were UTC) taken as
// local time here, summer time as this machine's zone has it on that date.
int64_t LocalTimeOfReading(int64_t reading);

// "+09:00", "-04:30", "+00:00".
std::string OffsetText(int32_t seconds);

// "YYYYMMDDHHMMSS" of a UTC time, as MFMT and MDTM write it.
std::string MachineTimeText(int64_t time);

}  // namespace ravelmoor
