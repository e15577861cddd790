// Rules of the session side that need no window: session numbering, the report, the key's display
// text and the popup's frame and offset check.
#include "capture/KeyText.h"
#include "capture/SessionNumber.h"
#include "capture/SessionReport.h"
#include "state/SessionState.h"
#include "popup/FrameValidation.h"

#include <gtest/gtest.h>

namespace {

TEST(SessionNumberTest, ReadsTheNumberLikePercentI)
{
    EXPECT_EQ(SessionNumberOf("session7"), 7);
    EXPECT_EQ(SessionNumberOf("session010"), 8);
    EXPECT_EQ(SessionNumberOf("session0x10"), 16);
    EXPECT_EQ(SessionNumberOf("session 12"), 12); // %i skips white space
    EXPECT_EQ(SessionNumberOf("session-3"), -3);
    EXPECT_EQ(SessionNumberOf("session5b"), 5);
    EXPECT_EQ(SessionNumberOf("Session5"), 0);
    EXPECT_EQ(SessionNumberOf("sessionX"), 0);
    EXPECT_EQ(SessionNumberOf("session"), 0);
}

TEST(SessionNumberTest, ScanCountsOnlyDirectories)
{
    ResetSessionState();
    EXPECT_EQ(ScanSessionNumber({{".", true}, {"..", true}}), 0);
    EXPECT_EQ(ScanSessionNumber({{".", true}, {"template.fla", false}}), 1);
    EXPECT_EQ(ScanSessionNumber({{"session1", true}, {"session7", true}, {"session9", false}, {"x", false}}), 8);
    EXPECT_EQ(g_session.highestSessionFound, 7);
    EXPECT_EQ(ScanSessionNumber({{"Session1", true}, {"session0x10", true}}), 17);
}

TEST(SessionNumberTest, NothingFollowsTheLargestNumber)
{
    ResetSessionState();
    g_session.sessionNumber = 4;
    g_session.highestSessionFound = 3;
    // Saturated or exact, hex or decimal: the next number would overflow into a folder already taken.
    for (const char* name : {"session2147483647", "session99999999999", "session0x7fffffff"}) {
        EXPECT_EQ(ScanSessionNumber({{"session3", true}, {name, true}, {"x", false}}), kNoSessionNumber)
            << name;
        EXPECT_EQ(g_session.sessionNumber, 4) << name;
        EXPECT_EQ(g_session.highestSessionFound, 3) << name;
    }
    EXPECT_EQ(ScanSessionNumber({{"session2147483646", true}}), 2147483647);
    EXPECT_EQ(ScanSessionNumber({{"session2147483647", false}}), 1); // a file is no session
}

TEST(SessionReportTest, ReportsFrameTotalPlusOne)
{
    ResetSessionState();
    g_session.sessionNumber = 3;
    g_session.frameTotal = 251;
    g_session.imageCounter = 6;
    RecordSessionReport();
    g_session.sessionNumber = 4; // a later session does not change the report
    char report[260];
    FormatSessionReport(report, sizeof report, "%i/%i/%i");
    EXPECT_STREQ(report, "3/252/6");
    EXPECT_TRUE(g_session.reportPresent);
}

TEST(KeyTextTest, ModifiersAlwaysInTheOrderCtrlAltShift)
{
    EXPECT_EQ(CaptureKeyText(123, false, false, false), "F12");
    EXPECT_EQ(CaptureKeyText(112, true, false, true), "Alt+Shift+F1");
    EXPECT_EQ(CaptureKeyText(116, true, true, true), "Ctrl+Alt+Shift+F5");
    EXPECT_EQ(CaptureKeyText(121, false, true, false), "Ctrl+F10");
}

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
