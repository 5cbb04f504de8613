#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <string>

#include "ftp/FtpListingParser.h"
#include "ftp/ScopedTimeZone.h"

namespace ravelmoor {
namespace {

class FtpParserTest : public ::testing::Test {
  private:
    test::ScopedTimeZone zone_;
};

int64_t Utc(int year, int month, int day, int hour, int minute, int second = 0) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return static_cast<int64_t>(::timegm(&fields));
}

constexpr int64_t kWinter = test::ScopedTimeZone::kWinterOffset;
constexpr int64_t kSummer = test::ScopedTimeZone::kSummerOffset;

struct Expected {
    std::string line;
    FtpLineOutcome outcome;
    std::string name = {};
    FtpItemKind kind = FtpItemKind::File;
    uint64_t size = 0;
    int64_t time = 0;
};

std::string Describe(FtpLineOutcome outcome) {
    switch (outcome) {
        case FtpLineOutcome::Item:
            return "item";
        case FtpLineOutcome::Skip:
            return "skip";
        case FtpLineOutcome::Refused:
            return "refused";
    }
    return "?";
}

void ExpectParsed(const Expected& e, FtpLineOutcome outcome, const FtpListItem& item) {
    ASSERT_EQ(Describe(outcome), Describe(e.outcome)) << e.line;
    if (outcome != FtpLineOutcome::Item) return;
    EXPECT_EQ(item.name, e.name) << e.line;
    EXPECT_EQ(item.kind, e.kind) << e.line;
    EXPECT_EQ(item.size, e.size) << e.line;
    EXPECT_EQ(item.lastWrite, e.time) << e.line;
}

using FtpListParser = FtpParserTest;

TEST_F(FtpListParser, RealWorldUnixAndDosLines) {
    // "Now" is 2024-03-10 12:00 local: dates without a year up to a day ahead
    // are this year's, later ones last year's.
    const int64_t now = Utc(2024, 3, 10, 12, 0) - kWinter;
    using K = FtpItemKind;
    using O = FtpLineOutcome;
    const std::vector<Expected> table = {
        {"-rw-r--r--   1 ftp      ftp          1234 Jan 15  2019 report.txt", O::Item, "report.txt",
         K::File, 1234, Utc(2019, 1, 15, 0, 0) - kWinter},
        {"drwxr-xr-x   2 ftp      ftp          4096 Mar  3 10:15 My Folder", O::Item, "My Folder",
         K::Folder, 0, Utc(2024, 3, 3, 10, 15) - kWinter},
        {"-rw-r--r--   1 ftp      ftp            10 Dec 24 18:00 last-year.txt", O::Item,
         "last-year.txt", K::File, 10, Utc(2023, 12, 24, 18, 0) - kWinter},
        {"-rw-r--r--   1 ftp      ftp            10 Mar 11 09:00 tomorrow.txt", O::Item,
         "tomorrow.txt", K::File, 10, Utc(2024, 3, 11, 9, 0) - kWinter},
        {"-rw-r--r--   1 ftp      ftp            10 Aug  1 09:00 summer.txt", O::Item, "summer.txt",
         K::File, 10, Utc(2023, 8, 1, 9, 0) - kSummer},
        {"lrwxrwxrwx   1 root     root           11 Feb 28  2020 latest -> release-1.2", O::Item,
         "latest", K::File, 11, Utc(2020, 2, 28, 0, 0) - kWinter},
        {"-rw-r--r--   1 user     group  5368709120 Dec 31  2021 big.iso", O::Item, "big.iso",
         K::File, 5368709120ull, Utc(2021, 12, 31, 0, 0) - kWinter},
        {"-rw-r--r--   1 user     group          10 Jul  4  2018 name  with  spaces.txt", O::Item,
         "name  with  spaces.txt", K::File, 10, Utc(2018, 7, 4, 0, 0) - kSummer},
        {"-rw-r--r--   1 user     group          10 Jul  4  2018  leading blank", O::Item,
         " leading blank", K::File, 10, Utc(2018, 7, 4, 0, 0) - kSummer},
        {"-rw-r--r--+  1 user     group          10 Jul  4  2018 acl.txt", O::Item, "acl.txt",
         K::File, 10, Utc(2018, 7, 4, 0, 0) - kSummer},
        {"-rw-r--r--   1 1000     1000           10 2021-06-01 12:30 iso.txt", O::Item, "iso.txt",
         K::File, 10, Utc(2021, 6, 1, 12, 30) - kSummer},
        {"-rw-r--r--   1 owner        77 Jan 01  2020 no-group.txt", O::Item, "no-group.txt",
         K::File, 77, Utc(2020, 1, 1, 0, 0) - kWinter},
        {"-rw-r--r--   1 jan      staff           7 Nov 11  2011 owner-named-jan", O::Item,
         "owner-named-jan", K::File, 7, Utc(2011, 11, 11, 0, 0) - kWinter},
        {"-rw-r--r--   1 u g 3 Jan  1  2020 Jan 1 2020 name", O::Item, "Jan 1 2020 name", K::File,
         3, Utc(2020, 1, 1, 0, 0) - kWinter},
        {"drwxr-xr-x   5 ftp      ftp          4096 Jan  1  2020 .", O::Skip},
        {"drwxr-xr-x   5 ftp      ftp          4096 Jan  1  2020 ..", O::Skip},
        {"total 24", O::Skip},
        {"", O::Skip},
        {"crw-rw-rw-   1 root     root       1,   3 Jan  1  2020 null", O::Skip},
        {"prw-r--r--   1 u        g               0 Jan  1  2020 fifo", O::Skip},
        {"-rw-r--r--   1 u        g              10 Jan  1  2020 a/b", O::Refused},
        {"-rw-r--r--   1 u        g              10 Jan  1  2020 ..", O::Refused},
        {"-rw-r--r--   1 u        g              10 Jan  1  2020 ", O::Refused},
        {"-rw-r--r--   1 u        g 18446744073709551616 Jan  1  2020 overflow", O::Refused},
        {"-rw-r--r--   1 u        g              10 Feb 30  2020 no-such-day", O::Refused},
        {"something the parser has never seen", O::Refused},
        {"01-31-20  02:15PM       <DIR>          Program Files", O::Item, "Program Files",
         K::Folder, 0, Utc(2020, 1, 31, 14, 15) - kWinter},
        {"12-25-2019  09:05AM             1,234 Budget 2019.xlsx", O::Item, "Budget 2019.xlsx",
         K::File, 1234, Utc(2019, 12, 25, 9, 5) - kWinter},
        {"06-01-21  14:30                 5368709120 big.bin", O::Item, "big.bin", K::File,
         5368709120ull, Utc(2021, 6, 1, 14, 30) - kSummer},
        {"01-01-20  12:30AM                    10 after midnight.txt", O::Item,
         "after midnight.txt", K::File, 10, Utc(2020, 1, 1, 0, 30) - kWinter},
        {"01-01-20  12:00AM       <DIR>          .", O::Skip},
        {"01-01-20  12:00AM                    10 a/b", O::Refused},
        {"13-01-20  12:00AM                    10 no-such-month", O::Refused},
    };
    for (const Expected& e : table) {
        FtpListItem item;
        ExpectParsed(e, ParseListLine(e.line, now, item), item);
    }
}

TEST_F(FtpListParser, LeapDayWithoutYearIsTheLastOne) {
    const int64_t now = Utc(2025, 1, 10, 12, 0) - kWinter;
    FtpListItem item;
    ASSERT_EQ(ParseListLine("-rw-r--r-- 1 u g 5 Feb 29 10:00 leap", now, item),
              FtpLineOutcome::Item);
    EXPECT_EQ(item.lastWrite, Utc(2024, 2, 29, 10, 0) - kWinter);
}

using FtpMlsdParser = FtpParserTest;

TEST_F(FtpMlsdParser, FactsNamesAndRefusals) {
    using K = FtpItemKind;
    using O = FtpLineOutcome;
    const int64_t t = 1600000000;  // 20200913122640, UTC whatever the zone
    const std::vector<Expected> table = {
        {"type=file;size=1234;modify=20200913122640;perm=r; report.txt", O::Item, "report.txt",
         K::File, 1234, t},
        {"type=dir;sizd=4096;modify=20200913122640; Sub Folder", O::Item, "Sub Folder", K::Folder,
         0, t},
        {"Type=File;Size=5368709120;Modify=20200913122640.123; big", O::Item, "big", K::File,
         5368709120ull, t},
        {"type=OS.unix=slink:/etc/passwd;size=11;modify=20200913122640; link", O::Item, "link",
         K::File, 11, t},
        {"type=file;size=1;  leading blank", O::Item, " leading blank", K::File, 1, 0},
        {"type=file;size=1;unix.mode=0644; semi;colon=name", O::Item, "semi;colon=name", K::File, 1,
         0},
        {"type=file;size=1;modify=bogus; undated", O::Item, "undated", K::File, 1, 0},
        {"type=cdir;modify=20200913122640; .", O::Skip},
        {"type=pdir;modify=20200913122640; ..", O::Skip},
        {"type=OS.unix=chr-1/3; null", O::Skip},
        {"type=file;size=1; a/b", O::Refused},
        {std::string("type=file;size=1; nul") + '\0' + "here", O::Refused},
        {"type=dir; ..", O::Refused},
        {"type=file;size=1; ", O::Refused},
        {"size=1; no-type", O::Refused},
        {"type=file;size=12x; bad-size", O::Refused},
        {"no facts at all", O::Refused},
    };
    for (const Expected& e : table) {
        FtpListItem item;
        ExpectParsed(e, ParseMlsdLine(e.line, item), item);
    }
}

TEST(FtpListingLines, SplitOnLineFeedsWithOrWithoutCarriageReturns) {
    std::string_view text = "one\r\ntwo\nthree\r\n\r\nlast";
    std::vector<std::string> lines;
    while (!text.empty())
        lines.emplace_back(TakeListingLine(text));
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "", "last"}));
}

// Random bytes, and random mixtures of the pieces listings are made of, never
// crash a parser, and every item they accept has a name that stays inside its
// folder and lies inside the line.
TEST(FtpListingParsers, RandomLinesNeverCrashNorEscape) {
    const std::vector<std::string> pieces = {" ",
                                             "  ",
                                             "-rw-r--r--",
                                             "drwxr-xr-x",
                                             "lrwxrwxrwx",
                                             "1",
                                             "ftp",
                                             "4096",
                                             "Jan",
                                             "31",
                                             "12:34",
                                             "2020",
                                             "->",
                                             "/",
                                             ".",
                                             "..",
                                             "<DIR>",
                                             "01-31-20",
                                             "02:15PM",
                                             "type=file;",
                                             "type=dir;",
                                             "size=99999999999999999999;",
                                             "modify=20200101000000;",
                                             ";",
                                             "=",
                                             std::string(1, '\0'),
                                             "\xff",
                                             "\t",
                                             "name",
                                             "2021-06-01",
                                             "\r"};
    std::mt19937 rng(20240310);
    const int64_t now = 1710068400;
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        const int parts = static_cast<int>(rng() % 14);
        for (int p = 0; p < parts; ++p) {
            if (rng() % 4 == 0) {
                line.push_back(static_cast<char>(rng() % 256));
            } else {
                line += pieces[rng() % pieces.size()];
            }
        }
        FtpListItem item;
        for (const bool machine : {true, false}) {
            const FtpLineOutcome outcome =
                machine ? ParseMlsdLine(line, item) : ParseListLine(line, now, item);
            if (outcome != FtpLineOutcome::Item) continue;
            ASSERT_FALSE(item.name.empty()) << line;
            ASSERT_NE(item.name, ".");
            ASSERT_NE(item.name, "..");
            ASSERT_EQ(item.name.find('/'), std::string_view::npos) << line;
            ASSERT_EQ(item.name.find('\0'), std::string_view::npos) << line;
            ASSERT_GE(item.name.data(), line.data());
            ASSERT_LE(item.name.data() + item.name.size(), line.data() + line.size());
        }
        std::string_view text = line;
        for (int guard = 0; !text.empty() && guard < 1000; ++guard)
            TakeListingLine(text);
        EXPECT_TRUE(text.empty());
    }
}

}  // namespace
}  // namespace ravelmoor
