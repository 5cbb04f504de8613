#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/engine/TimestampRule.h"

namespace ravelmoor {
namespace {

struct RuleCase {
    int64_t difference;  // source time minus target time
    int32_t tolerance;
    bool oneHour;
    bool equal;
};

class SizeAndTimestampRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(SizeAndTimestampRule, WorkedValues) {
    const RuleCase& c = GetParam();
    FileEntry source;
    FileEntry target;
    source.size = target.size = 10;
    target.lastWrite = 1600000000;
    source.lastWrite = target.lastWrite + c.difference;
    EXPECT_EQ(SizeAndTimestampEqual(source, target, c.tolerance, c.oneHour), c.equal)
        << "d=" << c.difference << " tolerance=" << c.tolerance << " oneHour=" << c.oneHour;
}

INSTANTIATE_TEST_SUITE_P(
    Tolerances, SizeAndTimestampRule,
    ::testing::Values(RuleCase{0, 0, false, true}, RuleCase{1, 0, false, false},
                      RuleCase{2, 2, false, true}, RuleCase{-2, 2, false, true},
                      RuleCase{3, 2, false, false}, RuleCase{60, 60, false, true},
                      RuleCase{61, 60, false, false}, RuleCase{3600, 0, true, true},
                      RuleCase{-3600, 0, true, true}, RuleCase{3601, 0, true, false},
                      RuleCase{3602, 2, true, true}, RuleCase{3599, 2, true, false},
                      RuleCase{7200, 2, true, false}, RuleCase{-3602, 2, true, true}));

// A remote time known to the second, the minute or the day (an FTP LIST line
// shows 10:05, or only the date for older files) against a local time at
// the edges of the interval it stands for, with and without the tolerances.
struct PrecisionCase {
    const char* name;
    uint32_t remotePrecision;  // attributes of the remote time
    int64_t localMinusRemote;  // local time minus the remote listed time
    int32_t tolerance;
    bool oneHour;
    bool equal;
};

class CoarseRemoteTime : public ::testing::TestWithParam<PrecisionCase> {};

TEST_P(CoarseRemoteTime, IsTheIntervalItStandsFor) {
    const PrecisionCase& c = GetParam();
    FileEntry local;
    FileEntry remote;
    local.size = remote.size = 10;
    remote.attributes = static_cast<uint16_t>(c.remotePrecision);
    remote.lastWrite = 1600000000 - 1600000000 % 86400;  // a midnight, so day times fit
    local.lastWrite = remote.lastWrite + c.localMinusRemote;
    EXPECT_EQ(SizeAndTimestampEqual(local, remote, c.tolerance, c.oneHour), c.equal) << c.name;
    EXPECT_EQ(SizeAndTimestampEqual(remote, local, c.tolerance, c.oneHour), c.equal) << c.name;
    EXPECT_EQ(EqualOnlyByCoarseTime(local, remote, c.tolerance, c.oneHour),
              c.equal && c.remotePrecision != 0)
        << c.name;
}

constexpr uint32_t kSecond = 0;
constexpr uint32_t kMinute = kTimeMinuteAttribute;
constexpr uint32_t kDay = kTimeDayAttribute;

INSTANTIATE_TEST_SUITE_P(
    Edges, CoarseRemoteTime,
    ::testing::Values(
        PrecisionCase{"second: same second", kSecond, 0, 0, false, true},
        PrecisionCase{"second: one later", kSecond, 1, 0, false, false},
        PrecisionCase{"minute: its first second", kMinute, 0, 0, false, true},
        PrecisionCase{"minute: its last second", kMinute, 59, 0, false, true},
        PrecisionCase{"minute: the next minute", kMinute, 60, 0, false, false},
        PrecisionCase{"minute: a second before", kMinute, -1, 0, false, false},
        PrecisionCase{"minute: a second before, 2 s tolerance", kMinute, -1, 2, false, true},
        PrecisionCase{"minute: 61 s after, 2 s tolerance", kMinute, 61, 2, false, true},
        PrecisionCase{"minute: 62 s after, 2 s tolerance", kMinute, 62, 2, false, false},
        PrecisionCase{"minute: 119 s after, 60 s tolerance", kMinute, 119, 60, false, true},
        PrecisionCase{"minute: 120 s after, 60 s tolerance", kMinute, 120, 60, false, false},
        PrecisionCase{"minute: an hour later, one-hour rule", kMinute, 3659, 0, true, true},
        PrecisionCase{"minute: an hour before, one-hour rule", kMinute, -3600, 0, true, true},
        PrecisionCase{"minute: an hour and a second before", kMinute, -3601, 0, true, false},
        PrecisionCase{"day: midnight", kDay, 0, 0, false, true},
        PrecisionCase{"day: last second", kDay, 86399, 0, false, true},
        PrecisionCase{"day: next midnight", kDay, 86400, 0, false, false},
        PrecisionCase{"day: a second before", kDay, -1, 0, false, false},
        PrecisionCase{"day: next midnight, 60 s tolerance", kDay, 86400, 60, false, true},
        PrecisionCase{"day: 61 s before, 60 s tolerance", kDay, -61, 60, false, false}),
    [](const ::testing::TestParamInfo<PrecisionCase>& row) {
        std::string name;
        for (const char* c = row.param.name; *c != '\0'; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) != 0 ? *c : '_';
        return name;
    });

TEST(SizeAndTimestampRule, CoarseTimesMeetWhenTheirIntervalsOverlap) {
    EXPECT_TRUE(TimesMayBeEqual(1000, kTimeMinuteAttribute, 1059, 0));
    EXPECT_FALSE(TimesMayBeEqual(1000, kTimeMinuteAttribute, 1060, 0));
    EXPECT_TRUE(TimesMayBeEqual(1000, kTimeMinuteAttribute, 1059, kTimeMinuteAttribute));
    EXPECT_FALSE(TimesMayBeEqual(1000, 0, 999, 0));
}

TEST(SizeAndTimestampRule, DifferentSizesNeverEqual) {
    FileEntry source;
    FileEntry target;
    source.size = 1;
    target.size = 2;
    EXPECT_FALSE(SizeAndTimestampEqual(source, target, 60, true));
}

}  // namespace
}  // namespace ravelmoor
