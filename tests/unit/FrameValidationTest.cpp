#include "popup/FrameValidation.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameValidationTest, APairStandsOnlyWithFrameAboveOffset)
{
    struct Case
    {
        const char* frame;
        const char* offset;
        FramePair outcome;
        int frameAfter;
        int offsetAfter;
    };
    // Typed one after another into the same popup, starting from 50 and 5.
    const Case cases[] = {
        {"30", "10", FramePair::TakenOver, 30, 10},
        {"30", "10", FramePair::Unchanged, 30, 10},
        // Equal values fall back to the previous pair.
        {"10", "10", FramePair::Refused, 30, 10},
        // An emptied edit reads as 0, which is never above the offset.
        {"", "10", FramePair::Refused, 30, 10},
        // Offset 0 is fine with any frame from 1.
        {"1", "0", FramePair::TakenOver, 1, 0},
        // The atoi rule: leading digits only.
        {"65535", "12x", FramePair::TakenOver, 65535, 12},
        // A frame count has 16 bits: 65536 would be stored as 0.
        {"65536", "12", FramePair::Refused, 65535, 12},
    };
    FrameValues values;
    for (const Case& c : cases) {
        EXPECT_EQ(TakeOverFramePair(c.frame, c.offset, values), c.outcome) << c.frame << ", " << c.offset;
        EXPECT_EQ(values.frame, c.frameAfter) << c.frame << ", " << c.offset;
        EXPECT_EQ(values.offset, c.offsetAfter) << c.frame << ", " << c.offset;
    }
    EXPECT_EQ(ReadLeadingInt("1,000"), 1);
    EXPECT_EQ(ReadLeadingInt(" -7"), -7);
    EXPECT_EQ(ReadLeadingInt("99999999999"), 2147483647);
}

} // namespace
