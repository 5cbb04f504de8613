#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <string>

#include "core/ftp/FtpListingParser.h"
#include "support/ScopedTimeZone.h"

namespace ravelmoor {
namespace {

// "skip", "refused", "bad name NAME", or "file|folder SIZE TIME NAME" with TIME the local
// clock reading (Central European time) or "-" for none.
std::string Describe(FtpLineOutcome outcome, const FtpListItem& item) {
    if (outcome == FtpLineOutcome::Skip) return "skip";
    if (outcome == FtpLineOutcome::Refused) return "refused";
    if (outcome == FtpLineOutcome::BadName) return "bad name " + std::string(item.name);
    std::string time = "-";
    if (item.lastWrite != 0) {
        const auto seconds = static_cast<std::time_t>(item.lastWrite);
        std::tm local{};
        ::localtime_r(&seconds, &local);
        char text[32];
        std::strftime(text, sizeof text, "%F %T", &local);
        time = text;
    }
    return std::string(item.kind == FtpItemKind::Folder ? "folder " : "file ") +
           std::to_string(item.size) + " " + time + " " + std::string(item.name);
}

int64_t LocalNoon(int year, int month, int day) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = 12;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

using Table = std::vector<std::pair<std::string, std::string>>;  // line, Describe()

// LIST times are local clock readings, in winter and in summer; a date
// without a year up to a day ahead is this year's, a later one last year's.
TEST(FtpListParser, RealWorldUnixAndDosLines) {
    test::ScopedTimeZone zone;
    const int64_t now = LocalNoon(2024, 3, 10);
    const Table table = {
        {"-rw-r--r--   1 ftp      ftp          1234 Jan 15  2019 report.txt",
         "file 1234 2019-01-15 00:00:00 report.txt"},
        {"drwxr-xr-x   2 ftp      ftp          4096 Mar  3 10:15 My Folder",
         "folder 0 2024-03-03 10:15:00 My Folder"},
        {"-rw-r--r-- 1 ftp ftp 10 Dec 24 18:00 last-year.txt",
         "file 10 2023-12-24 18:00:00 last-year.txt"},
        {"-rw-r--r-- 1 ftp ftp 10 Mar 11 09:00 tomorrow.txt",
         "file 10 2024-03-11 09:00:00 tomorrow.txt"},
        {"-rw-r--r-- 1 ftp ftp 10 Aug  1 09:00 summer.txt",
         "file 10 2023-08-01 09:00:00 summer.txt"},
        {"lrwxrwxrwx   1 root     root           11 Feb 28  2020 latest -> release-1.2",
         "file 11 2020-02-28 00:00:00 latest"},
        {"-rw-r--r--   1 user     group  5368709120 Dec 31  2021 big.iso",
         "file 5368709120 2021-12-31 00:00:00 big.iso"},
        {"-rw-r--r-- 1 u g 10 Jul  4  2018 name  with  spaces.txt",
         "file 10 2018-07-04 00:00:00 name  with  spaces.txt"},
        {"-rw-r--r-- 1 u g 10 Jul  4  2018  leading blank",
         "file 10 2018-07-04 00:00:00  leading blank"},
        {"-rw-r--r--+ 1 u g 10 Jul  4  2018 acl.txt", "file 10 2018-07-04 00:00:00 acl.txt"},
        {"-rw-r--r-- 1 1000 1000 10 2021-06-01 12:30 iso.txt",
         "file 10 2021-06-01 12:30:00 iso.txt"},
        {"-rw-r--r--   1 owner        77 Jan 01  2020 no-group.txt",
         "file 77 2020-01-01 00:00:00 no-group.txt"},
        {"-rw-r--r-- 1 jan staff 7 Nov 11  2011 owner-named-jan",
         "file 7 2011-11-11 00:00:00 owner-named-jan"},
        {"-rw-r--r-- 1 u g 3 Jan  1  2020 Jan 1 2020 name",
         "file 3 2020-01-01 00:00:00 Jan 1 2020 name"},
        {"drwxr-xr-x 5 ftp ftp 4096 Jan  1  2020 .", "skip"},
        {"drwxr-xr-x 5 ftp ftp 4096 Jan  1  2020 ..", "skip"},
        {"total 24", "skip"},
        {"", "skip"},
        {"crw-rw-rw-   1 root     root       1,   3 Jan  1  2020 null", "skip"},
        {"prw-r--r-- 1 u g 0 Jan  1  2020 fifo", "skip"},
        {"-rw-r--r-- 1 u g 10 Jan  1  2020 a/b", "bad name a/b"},
        {"-rw-r--r-- 1 u g 10 Jan  1  2020 ..", "bad name .."},
        {"-rw-r--r-- 1 u g 10 Jan  1  2020 ", "bad name "},
        {"-rw-r--r-- 1 u g 18446744073709551616 Jan  1  2020 overflow", "refused"},
        {"-rw-r--r-- 1 u g 10 Feb 30  2020 no-such-day", "refused"},
        {"something the parser has never seen", "refused"},
        {"01-31-20  02:15PM       <DIR>          Program Files",
         "folder 0 2020-01-31 14:15:00 Program Files"},
        {"12-25-2019  09:05AM             1,234 Budget 2019.xlsx",
         "file 1234 2019-12-25 09:05:00 Budget 2019.xlsx"},
        {"06-01-21  14:30                 5368709120 big.bin",
         "file 5368709120 2021-06-01 14:30:00 big.bin"},
        {"01-01-20  12:30AM                    10 after midnight.txt",
         "file 10 2020-01-01 00:30:00 after midnight.txt"},
        {"01-01-20  12:00AM       <DIR>          .", "skip"},
        {"01-01-20  12:00AM                    10 a/b", "bad name a/b"},
        {"13-01-20  12:00AM                    10 no-such-month", "refused"},
    };
    for (const auto& [line, expected] : table) {
        FtpListItem item;
        EXPECT_EQ(Describe(ParseListLine(line, now, item), item), expected) << line;
    }
    // In January, a 29 February without a year is the last one.
    FtpListItem item;
    EXPECT_EQ(Describe(ParseListLine("-rw-r--r-- 1 u g 5 Feb 29 10:00 leap", LocalNoon(2025, 1, 10),
                                     item),
                       item),
              "file 5 2024-02-29 10:00:00 leap");
}

// MLSD times are UTC whatever the zone: 12:26:40 UTC reads 14:26:40 in summer.
// Names that step out of the folder are refused end to end, with the warning,
// in FtpComparisonTest; a CR is here, as the client turns it into a LF there.
TEST(FtpMlsdParser, FactsNamesAndRefusals) {
    test::ScopedTimeZone zone;
    const Table table = {
        {"type=file;size=1234;modify=20200913122640;perm=r; report.txt",
         "file 1234 2020-09-13 14:26:40 report.txt"},
        {"type=dir;sizd=4096;modify=20200913122640; Sub Folder",
         "folder 0 2020-09-13 14:26:40 Sub Folder"},
        {"Type=File;Size=5368709120;Modify=20200913122640.123; big",
         "file 5368709120 2020-09-13 14:26:40 big"},
        {"type=OS.unix=slink:/etc/passwd;size=11;modify=20200913122640; link",
         "file 11 2020-09-13 14:26:40 link"},
        {"type=file;size=1;  leading blank", "file 1 -  leading blank"},
        {"type=file;size=1;unix.mode=0644; semi;colon=name", "file 1 - semi;colon=name"},
        {"type=file;size=1;modify=bogus; undated", "file 1 - undated"},
        {"type=cdir;modify=20200913122640; .", "skip"},
        {"type=pdir;modify=20200913122640; ..", "skip"},
        {"type=OS.unix=chr-1/3; null", "skip"},
        {"type=file;size=1; cr\rhere", "bad name cr\rhere"},
        {"type=dir; ..", "bad name .."},
        {"size=1; no-type", "refused"},
        {"type=file;size=12x; bad-size", "refused"},
        {"no facts at all", "refused"},
    };
    for (const auto& [line, expected] : table) {
        FtpListItem item;
        EXPECT_EQ(Describe(ParseMlsdLine(line, item), item), expected) << line;
    }
}

// A listing with CR LF line ends keeps a lone LF or CR inside the name it is
// part of; one with bare LF ends keeps a CR.
TEST(FtpListingLines, SplitAtTheListingsOwnLineEnd) {
    for (const auto& [listing, expected] : std::vector<std::pair<std::string, std::string>>{
             {"one\r\ntw\no\r\nthr\ree\r\n\r\nlast", "one|tw\no|thr\ree||last"},
             {"one\ntwo\nthr\ree\n\nlast", "one|two|thr\ree||last"},
         }) {
        std::string_view text = listing;
        const bool crlf = UsesCrLf(text);
        std::string lines;
        while (!text.empty()) {
            lines += TakeListingLine(text, crlf);
            if (!text.empty()) lines += '|';
        }
        EXPECT_EQ(lines, expected);
    }
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
            ASSERT_EQ(item.name.find_first_of(std::string_view("\r\n\0", 3)),
                      std::string_view::npos)
                << line;
            ASSERT_GE(item.name.data(), line.data());
            ASSERT_LE(item.name.data() + item.name.size(), line.data() + line.size());
        }
        std::string_view text = line;
        for (int guard = 0; !text.empty() && guard < 1000; ++guard)
            TakeListingLine(text, round % 2 == 0);
        EXPECT_TRUE(text.empty());
    }
}

}  // namespace
}  // namespace ravelmoor
