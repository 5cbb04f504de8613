#include "core/ftp/ServerClock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>

namespace ravelmoor {
namespace {

constexpr int64_t kQuarterHour = int64_t{15} * 60;

struct SetterName {
    TimeSetter setter;
    const char* stored;
    const char* shown;
};

constexpr SetterName kSetters[] = {
    {TimeSetter::Untried, "untried", "not tried yet"},
    {TimeSetter::Mfmt, "mfmt", "MFMT"},
    {TimeSetter::MdtmWithTime, "mdtm", "MDTM with a time"},
    {TimeSetter::SiteUtime, "utime", "SITE UTIME"},
    {TimeSetter::None, "none", "none"},
};

// A signed whole number; false on anything else.
bool ReadNumber(std::string_view text, int32_t& value) {
    const std::string copy(text);
    char* end = nullptr;
    const long number = std::strtol(copy.c_str(), &end, 10);
    if (copy.empty() || end != copy.c_str() + copy.size() || number < -86400 || number > 86400)
        return false;
    value = static_cast<int32_t>(number);
    return true;
}

}  // namespace

int64_t ServerClock::ListedTime(const FtpListItem& item) const {
    if (!known || (item.isClockReading && listingIsLocal)) return item.lastWrite;
    return item.clockReading - listingOffset;
}

bool ServerClock::MdtmTime(std::string_view answer, int64_t& time) const {
    if (!ParseMachineTime(answer, time)) return false;
    if (known && mdtmKnown) time = mdtmIsLocal ? LocalTimeOfReading(time) : time - mdtmOffset;
    return true;
}

std::string ServerClock::SetterText(int64_t time) const {
    return MachineTimeText(time + setterOffset);
}

std::string ServerClock::Describe() const {
    if (!known) return "unknown (no probe file could be written)";
    std::string text = listingIsLocal ? "this machine's zone" : OffsetText(listingOffset);
    text += " in listings";
    if (mdtmKnown) {
        text +=
            mdtmOffset == listingOffset && mdtmIsLocal == listingIsLocal
                ? ", MDTM the same"
                : ", " +
                      (mdtmIsLocal ? std::string("this machine's zone") : OffsetText(mdtmOffset)) +
                      " in MDTM";
        if (std::abs(mdtmOffset - listingOffset) == 3600 && !listingIsLocal)
            text += " (one summer-time hour apart)";
    }
    for (const SetterName& name : kSetters) {
        if (name.setter != setter) continue;
        text += "; times kept with: ";
        text += name.shown;
        if ((setter == TimeSetter::MdtmWithTime || setter == TimeSetter::SiteUtime ||
             setter == TimeSetter::Mfmt) &&
            setterOffset != 0) {
            text += " (" + OffsetText(setterOffset) + ")";
        }
    }
    return text;
}

std::string ServerClock::Serialise() const {
    if (!known) return "unknown";
    std::ostringstream text;
    text << "listing=" << listingOffset << " local=" << (listingIsLocal ? 1 : 0);
    if (mdtmKnown) text << " mdtm=" << mdtmOffset << " mdtmlocal=" << (mdtmIsLocal ? 1 : 0);
    for (const SetterName& name : kSetters) {
        if (name.setter == setter) text << " setter=" << name.stored << ":" << setterOffset;
    }
    return text.str();
}

ServerClock ServerClock::Parse(std::string_view text) {
    ServerClock clock;
    bool listed = false;
    while (!text.empty()) {
        const size_t end = text.find(' ');
        const std::string_view word = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const size_t equals = word.find('=');
        if (equals == std::string_view::npos) return {};
        const std::string_view key = word.substr(0, equals);
        const std::string_view value = word.substr(equals + 1);
        int32_t number = 0;
        if (key == "listing" && ReadNumber(value, number)) {
            clock.listingOffset = number;
            listed = true;
        } else if (key == "local" && (value == "0" || value == "1")) {
            clock.listingIsLocal = value == "1";
        } else if (key == "mdtm" && ReadNumber(value, number)) {
            clock.mdtmKnown = true;
            clock.mdtmOffset = number;
        } else if (key == "mdtmlocal" && (value == "0" || value == "1")) {
            clock.mdtmIsLocal = value == "1";
        } else if (key == "setter") {
            const size_t colon = value.find(':');
            bool found = false;
            for (const SetterName& name : kSetters) {
                if (value.substr(0, colon) == name.stored) {
                    clock.setter = name.setter;
                    found = true;
                }
            }
            if (!found || colon == std::string_view::npos ||
                !ReadNumber(value.substr(colon + 1), clock.setterOffset)) {
                return {};
            }
        } else {
            return {};
        }
    }
    clock.known = listed;
    return clock.known ? clock : ServerClock();
}

int32_t OffsetOfReading(int64_t reading, int64_t span, int64_t before, int64_t after) {
    // The clock stood somewhere in [reading, reading + span] while the file
    // was stamped, somewhere in [before, after]: the middle of what the
    // offset can be, to the nearest quarter hour.
    const int64_t twiceMiddle = (reading - after) + (reading + span - before);
    const int64_t quarters =
        (twiceMiddle >= 0 ? twiceMiddle + kQuarterHour : twiceMiddle - kQuarterHour) /
        (2 * kQuarterHour);
    return static_cast<int32_t>(quarters * kQuarterHour);
}

int32_t LocalOffset(int64_t time) {
    const auto when = static_cast<std::time_t>(time);
    std::tm fields{};
    localtime_r(&when, &fields);
    return static_cast<int32_t>(fields.tm_gmtoff);
}

int64_t LocalTimeOfReading(int64_t reading) {
    const auto when = static_cast<std::time_t>(reading);
    std::tm fields{};
    gmtime_r(&when, &fields);
    fields.tm_isdst = -1;  // the rules of that date decide
    return static_cast<int64_t>(std::mktime(&fields));
}

std::string OffsetText(int32_t seconds) {
    const char sign = seconds < 0 ? '-' : '+';
    const int32_t magnitude = std::abs(seconds);
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", sign, magnitude / 3600,
                  (magnitude % 3600) / 60);
    return text;
}

std::string MachineTimeText(int64_t time) {
    using namespace std::chrono;
    const sys_seconds when{std::chrono::seconds{time}};
    const sys_days day = floor<days>(when);
    const year_month_day date{day};
    const hh_mm_ss clock{when - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02u%02d%02d%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

}  // namespace ravelmoor
