#include "popup/FrameValidation.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameValidationTest, APairStandsOnlyWithFrameAboveOffset)
{
    FrameValues values;
    EXPECT_FALSE(TakeOverFramePair("30", "10", values));
    EXPECT_EQ(values.frame, 30);
    EXPECT_EQ(values.offset, 10);
    // Equal values fall back to the previous pair.
    EXPECT_TRUE(TakeOverFramePair("10", "10", values));
    EXPECT_EQ(values.frame, 30);
    EXPECT_EQ(values.offset, 10);
    // An emptied edit reads as 0, which is never above the offset.
    EXPECT_TRUE(TakeOverFramePair("", "10", values));
    EXPECT_EQ(values.frame, 30);
    // Offset 0 is fine with any frame from 1.
    EXPECT_FALSE(TakeOverFramePair("1", "0", values));
    EXPECT_EQ(values.frame, 1);
    EXPECT_EQ(values.offset, 0);
    // The atoi rule: leading digits only.
    EXPECT_FALSE(TakeOverFramePair("65536", "12x", values));
    EXPECT_EQ(values.frame, 65536);
    EXPECT_EQ(values.offset, 12);
    EXPECT_EQ(ReadLeadingInt("1,000"), 1);
    EXPECT_EQ(ReadLeadingInt(" -7"), -7);
    EXPECT_EQ(ReadLeadingInt("99999999999"), 2147483647);
}

} // namespace
