#include <gtest/gtest.h>

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

TEST(SizeAndTimestampRule, DifferentSizesNeverEqual) {
    FileEntry source;
    FileEntry target;
    source.size = 1;
    target.size = 2;
    EXPECT_FALSE(SizeAndTimestampEqual(source, target, 60, true));
}

}  // namespace
}  // namespace ravelmoor
