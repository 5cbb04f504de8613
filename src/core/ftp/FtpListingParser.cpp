#include "core/ftp/FtpListingParser.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>

#include "core/engine/CaseFold.h"

namespace ravelmoor {
namespace {

constexpr int64_t kDay = int64_t{24} * 60 * 60;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

// Digits to a number; false on anything else or an overflow. Commas (DOS
// listings group the digits of sizes) are skipped when `allowCommas` is set.
bool ToNumber(std::string_view text, uint64_t& value, bool allowCommas = false) {
    value = 0;
    bool any = false;
    for (char c : text) {
        if (allowCommas && c == ',') continue;
        if (!IsDigit(c)) return false;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return false;
        value = value * 10 + digit;
        any = true;
    }
    return any;
}

int SmallNumber(std::string_view digits) {
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

bool ValidDate(int year, int month, int day) {
    using namespace std::chrono;
    return year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                          std::chrono::day{static_cast<unsigned>(day)}}
        .ok();
}

bool ValidClock(int hour, int minute, int second = 0) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 60;
}

int64_t UtcTime(int year, int month, int day, int hour, int minute, int second) {
    using namespace std::chrono;
    const sys_days date =
        year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                       std::chrono::day{static_cast<unsigned>(day)}};
    return date.time_since_epoch().count() * kDay + int64_t{hour} * 3600 + int64_t{minute} * 60 +
           second;
}

// The calendar time of a clock reading in the local time zone.
int64_t LocalTime(int year, int month, int day, int hour, int minute) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_isdst = -1;  // the rules of that date decide
    return static_cast<int64_t>(std::mktime(&fields));
}

void SetClockReading(FtpListItem& item, int year, int month, int day, int hour, int minute,
                     uint32_t timeSpan) {
    item.lastWrite = LocalTime(year, month, day, hour, minute);
    item.clockReading = UtcTime(year, month, day, hour, minute, 0);
    item.isClockReading = true;
    item.timeSpan = timeSpan;
}

// Checks a listed name: a name that would make a path outside the folder, or
// name the folder itself, or end an FTP command early, is not a child.
FtpLineOutcome CheckName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return FtpLineOutcome::BadName;
    if (name.find_first_of(std::string_view("/\r\n\0", 4)) != std::string_view::npos) {
        return FtpLineOutcome::BadName;
    }
    return FtpLineOutcome::Item;
}

// --- MLSD --------------------------------------------------------------------

// "YYYYMMDDHHMMSS" with an optional fraction, UTC.
bool ReadMachineTime(std::string_view text, int64_t& time) {
    if (text.size() < 14 || !AllDigits(text.substr(0, 14))) return false;
    if (text.size() > 14 && (text[14] != '.' || !AllDigits(text.substr(15)))) return false;
    const int year = SmallNumber(text.substr(0, 4));
    const int month = SmallNumber(text.substr(4, 2));
    const int day = SmallNumber(text.substr(6, 2));
    const int hour = SmallNumber(text.substr(8, 2));
    const int minute = SmallNumber(text.substr(10, 2));
    const int second = SmallNumber(text.substr(12, 2));
    if (!ValidDate(year, month, day) || !ValidClock(hour, minute, second)) return false;
    time = UtcTime(year, month, day, hour, minute, second);
    return true;
}

enum class MachineType { Missing, File, Folder, Skip };

MachineType ParseMachineType(std::string_view value) {
    if (EqualsAsciiFolded(value, "file")) return MachineType::File;
    if (EqualsAsciiFolded(value, "dir")) return MachineType::Folder;
    if (EqualsAsciiFolded(value, "cdir") || EqualsAsciiFolded(value, "pdir"))
        return MachineType::Skip;
    // A link is listed as a file of its own and never followed.
    if (StartsWithAsciiFolded(value, "os.unix=slink") ||
        StartsWithAsciiFolded(value, "os.unix=symlink")) {
        return MachineType::File;
    }
    return MachineType::Skip;  // devices, pipes and kinds we do not know
}

// --- LIST, Unix form -----------------------------------------------------------

constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};

int MonthNumber(std::string_view text) {
    for (size_t i = 0; i < kMonths.size(); ++i) {
        if (EqualsAsciiFolded(text, kMonths[i])) return static_cast<int>(i) + 1;
    }
    return 0;
}

// "HH:MM" or "H:MM".
bool ParseClock(std::string_view text, int& hour, int& minute) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2) return false;
    const std::string_view h = text.substr(0, colon);
    const std::string_view m = text.substr(colon + 1);
    if (!AllDigits(h) || m.size() != 2 || !AllDigits(m)) return false;
    hour = SmallNumber(h);
    minute = SmallNumber(m);
    return ValidClock(hour, minute);
}

// "YYYY-MM-DD" (ls --time-style=long-iso).
bool ParseIsoDate(std::string_view text, int& year, int& month, int& day) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    if (!AllDigits(text.substr(0, 4)) || !AllDigits(text.substr(5, 2)) ||
        !AllDigits(text.substr(8, 2))) {
        return false;
    }
    year = SmallNumber(text.substr(0, 4));
    month = SmallNumber(text.substr(5, 2));
    day = SmallNumber(text.substr(8, 2));
    return ValidDate(year, month, day);
}

struct Token {
    std::string_view text;
    size_t end = 0;  // offset just past the token in the line
};

// Blank-separated words of a line, as many as the date search needs.
class Tokens {
  public:
    static constexpr size_t kMax = 16;

    explicit Tokens(std::string_view line) {
        size_t at = 0;
        while (count_ < kMax) {
            while (at < line.size() && IsBlank(line[at]))
                ++at;
            if (at >= line.size()) break;
            const size_t start = at;
            while (at < line.size() && !IsBlank(line[at]))
                ++at;
            tokens_[count_++] = Token{line.substr(start, at - start), at};
        }
    }

    size_t size() const { return count_; }
    const Token& operator[](size_t i) const { return tokens_[i]; }

  private:
    std::array<Token, kMax> tokens_{};
    size_t count_ = 0;
};

bool IsUnixMode(std::string_view mode) {
    if (mode.size() < 10) return false;
    if (std::string_view("-dlcbpsD").find(mode[0]) == std::string_view::npos) return false;
    for (size_t i = 1; i < 10; ++i) {
        if (std::string_view("rwxsStTlL-").find(mode[i]) == std::string_view::npos) return false;
    }
    return true;
}

// The year of a date that a listing shows with the time instead of the year.
int RecentYear(int month, int day, int hour, int minute, int64_t now) {
    const auto nowTime = static_cast<std::time_t>(now);
    std::tm today{};
    localtime_r(&nowTime, &today);
    const int year = today.tm_year + 1900;
    // Listings show the time instead of the year for the last months; a date
    // ahead of now (a day allows for the server's time zone) is last year's.
    if (ValidDate(year, month, day) && LocalTime(year, month, day, hour, minute) <= now + kDay) {
        return year;
    }
    return year - 1;
}

FtpLineOutcome ParseUnixLine(std::string_view line, const Tokens& tokens, int64_t now,
                             FtpListItem& item) {
    const char type = tokens[0].text[0];
    // Find the date: the first month (or ISO date) that follows a size.
    size_t nameStart = std::string_view::npos;
    for (size_t m = 2; m + 1 < tokens.size(); ++m) {
        uint64_t size = 0;
        if (!ToNumber(tokens[m - 1].text, size)) continue;
        int year = 0;
        int month = 0;
        int day = 0;
        int hour = 0;
        int minute = 0;
        if (ParseIsoDate(tokens[m].text, year, month, day) &&
            ParseClock(tokens[m + 1].text, hour, minute)) {
            SetClockReading(item, year, month, day, hour, minute, kTimeMinuteAttribute);
            nameStart = tokens[m + 1].end + 1;
        } else if (m + 2 < tokens.size() && (month = MonthNumber(tokens[m].text)) != 0 &&
                   tokens[m + 1].text.size() <= 2 && AllDigits(tokens[m + 1].text)) {
            day = SmallNumber(tokens[m + 1].text);
            const std::string_view yearOrClock = tokens[m + 2].text;
            if (ParseClock(yearOrClock, hour, minute)) {
                if (!ValidDate(2000, month, day)) continue;  // a leap year allows 29 February
                year = RecentYear(month, day, hour, minute, now);
                SetClockReading(item, year, month, day, hour, minute, kTimeMinuteAttribute);
            } else if (yearOrClock.size() == 4 && AllDigits(yearOrClock)) {
                year = SmallNumber(yearOrClock);
                if (!ValidDate(year, month, day)) continue;
                SetClockReading(item, year, month, day, 0, 0, kTimeDayAttribute);
            } else {
                continue;
            }
            nameStart = tokens[m + 2].end + 1;
        } else {
            continue;
        }
        item.size = size;
        break;
    }
    if (nameStart == std::string_view::npos) return FtpLineOutcome::Refused;
    // An empty name still points into the line, at its end.
    std::string_view name = line.substr(std::min(nameStart, line.size()));

    switch (type) {
        case 'd':
        case 'D':
            item.kind = FtpItemKind::Folder;
            item.size = 0;
            if (name == "." || name == "..") return FtpLineOutcome::Skip;
            break;
        case 'l': {
            // Listed under the link's own name; the target is never followed.
            const size_t arrow = name.find(" -> ");
            if (arrow != std::string_view::npos) name = name.substr(0, arrow);
            item.kind = FtpItemKind::File;
            break;
        }
        case '-':
            item.kind = FtpItemKind::File;
            break;
        default:
            return FtpLineOutcome::Skip;  // devices, pipes, sockets
    }
    item.name = name;
    return CheckName(name);
}

// --- LIST, DOS/Windows form ------------------------------------------------------

// "MM-DD-YY", "MM-DD-YYYY" (or with '/').
bool ParseDosDate(std::string_view text, int& year, int& month, int& day) {
    if (text.size() != 8 && text.size() != 10) return false;
    if ((text[2] != '-' && text[2] != '/') || text[5] != text[2]) return false;
    const std::string_view m = text.substr(0, 2);
    const std::string_view d = text.substr(3, 2);
    const std::string_view y = text.substr(6);
    if (!AllDigits(m) || !AllDigits(d) || !AllDigits(y)) return false;
    month = SmallNumber(m);
    day = SmallNumber(d);
    year = SmallNumber(y);
    if (y.size() == 2) year += year < 70 ? 2000 : 1900;
    return ValidDate(year, month, day);
}

FtpLineOutcome ParseDosLine(std::string_view line, const Tokens& tokens, FtpListItem& item) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (tokens.size() < 4 || !ParseDosDate(tokens[0].text, year, month, day)) {
        return FtpLineOutcome::Refused;
    }
    std::string_view clock = tokens[1].text;
    size_t next = 2;
    std::string_view half;
    if (clock.size() > 2 && (EqualsAsciiFolded(clock.substr(clock.size() - 2), "am") ||
                             EqualsAsciiFolded(clock.substr(clock.size() - 2), "pm"))) {
        half = clock.substr(clock.size() - 2);
        clock.remove_suffix(2);
    } else if (EqualsAsciiFolded(tokens[2].text, "am") || EqualsAsciiFolded(tokens[2].text, "pm")) {
        half = tokens[2].text;
        next = 3;
    }
    int hour = 0;
    int minute = 0;
    if (!ParseClock(clock, hour, minute)) return FtpLineOutcome::Refused;
    if (!half.empty()) {
        if (hour < 1 || hour > 12) return FtpLineOutcome::Refused;
        hour %= 12;
        if (AsciiLower(half[0]) == 'p') hour += 12;
    }
    if (next + 1 >= tokens.size()) return FtpLineOutcome::Refused;

    const std::string_view sizeOrDir = tokens[next].text;
    if (EqualsAsciiFolded(sizeOrDir, "<dir>")) {
        item.kind = FtpItemKind::Folder;
        item.size = 0;
    } else if (ToNumber(sizeOrDir, item.size, /*allowCommas=*/true)) {
        item.kind = FtpItemKind::File;
    } else {
        return FtpLineOutcome::Refused;
    }
    size_t nameStart = tokens[next].end;
    while (nameStart < line.size() && IsBlank(line[nameStart]))
        ++nameStart;
    item.name = line.substr(nameStart);
    SetClockReading(item, year, month, day, hour, minute, kTimeMinuteAttribute);
    if (item.kind == FtpItemKind::Folder && (item.name == "." || item.name == "..")) {
        return FtpLineOutcome::Skip;
    }
    return CheckName(item.name);
}

}  // namespace

FtpLineOutcome ParseMlsdLine(std::string_view line, FtpListItem& item) {
    const FtpLineOutcome outcome = ParseMlstLine(line, item);
    if (outcome != FtpLineOutcome::Item) return outcome;
    return CheckName(item.name);
}

FtpLineOutcome ParseMlstLine(std::string_view line, FtpListItem& item) {
    item = FtpListItem();
    const size_t space = line.find(' ');
    if (space == std::string_view::npos) return FtpLineOutcome::Refused;
    std::string_view facts = line.substr(0, space);
    item.name = line.substr(space + 1);

    MachineType type = MachineType::Missing;
    while (!facts.empty()) {
        const size_t end = facts.find(';');
        const std::string_view fact = facts.substr(0, end);
        facts = end == std::string_view::npos ? std::string_view() : facts.substr(end + 1);
        const size_t equals = fact.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = fact.substr(0, equals);
        const std::string_view value = fact.substr(equals + 1);
        if (EqualsAsciiFolded(key, "type")) {
            type = ParseMachineType(value);
        } else if (EqualsAsciiFolded(key, "size")) {
            if (!ToNumber(value, item.size)) return FtpLineOutcome::Refused;
        } else if (EqualsAsciiFolded(key, "modify")) {
            if (!ReadMachineTime(value, item.lastWrite)) item.lastWrite = 0;
            item.clockReading = item.lastWrite;
        }
    }
    switch (type) {
        case MachineType::Missing:
            return FtpLineOutcome::Refused;
        case MachineType::Skip:
            return FtpLineOutcome::Skip;
        case MachineType::Folder:
            item.kind = FtpItemKind::Folder;
            item.size = 0;
            break;
        case MachineType::File:
            item.kind = FtpItemKind::File;
            break;
    }
    return FtpLineOutcome::Item;
}

FtpLineOutcome ParseListLine(std::string_view line, int64_t now, FtpListItem& item) {
    item = FtpListItem();
    const Tokens tokens(line);
    if (tokens.size() == 0) return FtpLineOutcome::Skip;
    // The "total N" line that `ls -l` puts first.
    if (tokens.size() == 2 && EqualsAsciiFolded(tokens[0].text, "total") &&
        AllDigits(tokens[1].text)) {
        return FtpLineOutcome::Skip;
    }
    if (IsUnixMode(tokens[0].text)) return ParseUnixLine(line, tokens, now, item);
    return ParseDosLine(line, tokens, item);
}

bool ParseMachineTime(std::string_view text, int64_t& time) {
    return ReadMachineTime(text, time);
}

bool UsesCrLf(std::string_view listing) {
    return listing.find("\r\n") != std::string_view::npos;
}

std::string_view TakeListingLine(std::string_view& text, bool crlf) {
    const std::string_view lineEnd = crlf ? "\r\n" : "\n";
    const size_t end = text.find(lineEnd);
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + lineEnd.size());
    return line;
}

}  // namespace ravelmoor
