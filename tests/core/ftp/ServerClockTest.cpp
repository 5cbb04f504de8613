#include <gtest/gtest.h>

#include "core/ftp/ServerClock.h"
#include "support/ScopedTimeZone.h"

namespace ravelmoor {
namespace {

// The probe: a file stamped between `before` and `after` is read back at
// the listing's precision; the offset is the nearest quarter hour.
struct ProbeCase {
    const char* name;
    int64_t readingMinusUpload;  // what the server shows minus the upload's end
    int64_t span;                // 0, or 59 for a LIST minute
    int64_t uploadTook;          // seconds between before and after
    int32_t offset;
};

class ProbeOffsets : public ::testing::TestWithParam<ProbeCase> {};

INSTANTIATE_TEST_SUITE_P(
    Readings, ProbeOffsets,
    ::testing::Values(ProbeCase{"UtcToTheSecond", 0, 0, 0, 0},
                      ProbeCase{"UtcListedMinuteAtItsEnd", -59, 59, 0, 0},
                      ProbeCase{"TokyoToTheSecond", 9 * 3600, 0, 1, 9 * 3600},
                      ProbeCase{"TokyoMinute", 9 * 3600 - 30, 59, 2, 9 * 3600},
                      ProbeCase{"NewYork", -5 * 3600 + 1, 0, 1, -5 * 3600},
                      ProbeCase{"IndiaHalfHour", 5 * 3600 + 1800 - 20, 59, 0, 5 * 3600 + 1800},
                      ProbeCase{"NepalQuarterHour", 5 * 3600 + 2700, 0, 0, 5 * 3600 + 2700},
                      ProbeCase{"ClockSevenMinutesFast", 7 * 60, 0, 0, 0},
                      ProbeCase{"ClockEightMinutesFast", 8 * 60, 0, 0, 15 * 60}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_P(ProbeOffsets, RoundToTheQuarterHour) {
    const ProbeCase& c = GetParam();
    const int64_t after = 1700000000;
    const int64_t before = after - c.uploadTook;
    EXPECT_EQ(OffsetOfReading(after + c.readingMinusUpload, c.span, before, after), c.offset);
}

// A LIST reading becomes UTC through the offset the probe found, through
// this machine's zone where the probe found that, and as local time where no
// probe could run; an MDTM answer likewise through its own offset.
TEST(ServerClock, ReadsEachSourceThroughItsOwnOffset) {
    test::ScopedTimeZone zone;  // an hour ahead of UTC in winter, two in summer
    FtpListItem winter;
    ASSERT_EQ(ParseListLine("-rw-r--r-- 1 u g 5 Jan 15 2021 a", 0, winter), FtpLineOutcome::Item);
    FtpListItem summer;
    ASSERT_EQ(ParseListLine("-rw-r--r-- 1 u g 5 2021-07-15 12:00 b", 0, summer),
              FtpLineOutcome::Item);
    const int64_t winterFields = 1610668800;  // 2021-01-15 00:00 as if UTC
    const int64_t summerFields = 1626350400;  // 2021-07-15 12:00 as if UTC
    ServerClock unknown;
    EXPECT_EQ(unknown.ListedTime(winter), winterFields - 3600);
    EXPECT_EQ(unknown.ListedTime(summer), summerFields - 7200);
    ServerClock tokyo;
    tokyo.known = true;
    tokyo.listingOffset = 9 * 3600;
    EXPECT_EQ(tokyo.ListedTime(winter), winterFields - 9 * 3600);
    EXPECT_EQ(tokyo.ListedTime(summer), summerFields - 9 * 3600);
    ServerClock here = tokyo;
    here.listingOffset = 3600;
    here.listingIsLocal = true;  // summer time as this machine keeps it
    EXPECT_EQ(here.ListedTime(summer), summerFields - 7200);

    int64_t time = 0;
    tokyo.mdtmKnown = true;
    tokyo.mdtmOffset = 9 * 3600;
    ASSERT_TRUE(tokyo.MdtmTime("20210715120000", time));
    EXPECT_EQ(time, summerFields - 9 * 3600);
    ASSERT_TRUE(unknown.MdtmTime("20210715120000.123", time));
    EXPECT_EQ(time, summerFields);  // UTC, as the command is defined
    EXPECT_FALSE(tokyo.MdtmTime("soon", time));
    // A setter that takes its text in the server's zone is sent the zone's time.
    tokyo.setterOffset = 9 * 3600;
    EXPECT_EQ(tokyo.SetterText(summerFields - 9 * 3600), "20210715120000");
}

TEST(ServerClock, KeptTextReadsBackAndBrokenTextIsUnknown) {
    ServerClock clock;
    clock.known = true;
    clock.listingOffset = -4 * 3600 - 1800;
    clock.mdtmKnown = true;
    clock.mdtmOffset = 0;
    clock.setter = TimeSetter::SiteUtime;
    clock.setterOffset = 3600;
    EXPECT_EQ(ServerClock::Parse(clock.Serialise()), clock);
    EXPECT_EQ(ServerClock::Parse(ServerClock().Serialise()), ServerClock());
    for (const char* broken : {"listing=abc", "listing=0 setter=sometimes:0", "listing=999999",
                               "listing=0 unheard=1", "local=1"}) {
        EXPECT_FALSE(ServerClock::Parse(broken).known) << broken;
    }
    EXPECT_EQ(OffsetText(-4 * 3600 - 1800), "-04:30");
    EXPECT_EQ(MachineTimeText(0), "19700101000000");
}

}  // namespace
}  // namespace ravelmoor
