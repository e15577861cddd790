// Rules of the session side that need no window: session numbering, the start and end of a session and
// the report.
#include "ProgramState.h"
#include "capture/CaptureState.h"
#include "capture/SessionLifecycle.h"
#include "capture/SessionNumber.h"
#include "capture/SessionReport.h"
#include "state/SessionState.h"
#include "state/WorkingDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using SessionNumberTest = testsupport::CProgramTest;
using SessionLifecycleTest = testsupport::CProgramTest;
using SessionReportTest = testsupport::CProgramTest;
using CaptureRuleTest = testsupport::CProgramTest;

TEST_F(SessionNumberTest, ReadsTheNumberLikePercentI)
{
    EXPECT_EQ(SessionNumberOf("session7"), 7);
    EXPECT_EQ(SessionNumberOf("session010"), 8);
    EXPECT_EQ(SessionNumberOf("session0x10"), 16);
    EXPECT_EQ(SessionNumberOf("session 12"), 12); // %i skips white space
    EXPECT_EQ(SessionNumberOf("session-3"), -3);
    EXPECT_EQ(SessionNumberOf("session5b"), 5);
    // The file system matches folder names in any letter case, so the scan does too.
    EXPECT_EQ(SessionNumberOf("Session5"), 5);
    EXPECT_EQ(SessionNumberOf("SESSION0x1f"), 31);
    EXPECT_EQ(SessionNumberOf("Sessions5"), 0);
    EXPECT_EQ(SessionNumberOf("sessionX"), 0);
    EXPECT_EQ(SessionNumberOf("session"), 0);
}

TEST_F(SessionNumberTest, ScanCountsOnlyDirectories)
{
    EXPECT_EQ(ScanSessionNumber({{".", true}, {"..", true}}).next, 0);
    EXPECT_EQ(ScanSessionNumber({{".", true}, {"template.fla", false}}).next, 1);
    const SessionNumberScan scan =
        ScanSessionNumber({{"session1", true}, {"session7", true}, {"session9", false}, {"x", false}});
    EXPECT_EQ(scan.next, 8);
    EXPECT_EQ(scan.highest, 7);
    EXPECT_EQ(ScanSessionNumber({{"Session1", true}, {"session0x10", true}}).next, 17);
    EXPECT_EQ(ScanSessionNumber({{"session1", true}, {"Session3", true}, {"sESSION2", true}}).next, 4);
}

TEST_F(SessionNumberTest, NothingFollowsTheLargestNumber)
{
    g_session.sessionNumber = 4;
    g_session.highestSessionFound = 3;
    // Saturated or exact, hex or decimal: the next number would overflow into a folder already taken.
    for (const char* name : {"session2147483647", "session99999999999", "session0x7fffffff"}) {
        EXPECT_EQ(ScanSessionNumber({{"session3", true}, {name, true}, {"x", false}}).next, kNoSessionNumber)
            << name;
        EXPECT_EQ(g_session.sessionNumber, 4) << name;
        EXPECT_EQ(g_session.highestSessionFound, 3) << name;
    }
    EXPECT_EQ(ScanSessionNumber({{"session2147483646", true}}).next, 2147483647);
    EXPECT_EQ(ScanSessionNumber({{"session2147483647", false}}).next, 1); // a file is no session
}

TEST_F(SessionLifecycleTest, APlanNamesTheNextSessionsFilesBeforeAnythingIsMade)
{
    std::strcpy(g_workDir, "C:\\work");
    g_session.frameTotal = 77;
    g_session.presses = 5;
    g_session.sessionNumber = 9;
    SessionPlan plan = PlanSession({{"session3", true}, {"template.fla", false}});
    // Planning changes nothing (a refused start leaves the last session as it was); starting applies it.
    EXPECT_EQ(g_session.frameTotal, 77);
    EXPECT_EQ(g_session.presses, 5);
    EXPECT_EQ(g_session.sessionNumber, 9);
    EXPECT_STREQ(g_session.destinationFile, "");
    EXPECT_EQ(plan.sessionNumber, 4);
    ApplySessionPlan(plan);
    ASSERT_TRUE(plan.numbered);
    ASSERT_TRUE(plan.pathsFit);
    EXPECT_STREQ(plan.sessionDir, "C:\\work/session4");
    EXPECT_STREQ(plan.templatePath, "C:\\work/template.fla");
    EXPECT_STREQ(g_session.destinationFile, "C:\\work/session4/destinationFLA4.fla");
    EXPECT_EQ(g_session.sessionNumber, 4);
    EXPECT_EQ(g_session.frameTotal, 1);
    EXPECT_EQ(g_session.presses, 0);

    // No number left: nothing of the session state changes.
    plan = PlanSession({{"session2147483647", true}});
    EXPECT_FALSE(plan.numbered);
    EXPECT_EQ(g_session.sessionNumber, 4);
    g_session.frameTotal = 77;
    EXPECT_FALSE(PlanSession({{"session2147483647", true}}).numbered);
    EXPECT_EQ(g_session.frameTotal, 77);

    // A working directory so long that the destination would be cut short.
    std::memset(g_workDir, 'w', kPathBytes - 20);
    g_workDir[kPathBytes - 20] = '\0';
    plan = PlanSession({});
    EXPECT_TRUE(plan.numbered);
    EXPECT_FALSE(plan.pathsFit);
}

TEST_F(SessionLifecycleTest, ASessionStartsOnlyInAFolderItJustCreated)
{
    std::strcpy(g_workDir, "w");
    // Taken: a plain file of that name, a folder of another case, one another program made since the scan.
    const struct
    {
        int taken;
        bool thenFails;
    } cases[] = {{0, false}, {1, false}, {3, false}, {1, true}, {0, true}};
    constexpr uint32_t kSystemError = 5;
    for (const auto& c : cases) {
        SessionPlan plan = PlanSession({{"session3", true}});
        int attempts = 0;
        std::string tried;
        const CResult<void> result = CreateSessionFolder(plan, [&](const char* path) -> CResult<bool> {
            tried = path;
            if (++attempts <= c.taken)
                return false;
            if (c.thenFails)
                return Fail("", 0, kSystemError);
            return true;
        });
        const int n = 4 + c.taken;
        const std::string dir = "w/session" + std::to_string(n);
        EXPECT_EQ(result.Ok(), !c.thenFails) << dir;
        if (c.thenFails) {
            EXPECT_EQ(RefusalOf(result.Error()), StartRefusal::FolderNotCreated);
            EXPECT_EQ(result.Error().systemError, kSystemError) << "the creator's error goes up";
            EXPECT_EQ(result.Error().text, dir) << "the folder is named";
        }
        EXPECT_EQ(attempts, c.taken + 1) << dir;
        EXPECT_EQ(tried, dir);
        EXPECT_EQ(plan.sessionDir, dir);
        ApplySessionPlan(plan);
        EXPECT_EQ(g_session.sessionNumber, n);
        EXPECT_EQ(g_session.destinationFile, dir + "/destinationFLA" + std::to_string(n) + ".fla");
    }

    // Taken up to the largest number: no folder follows, and none is tried beyond it.
    SessionPlan plan = PlanSession({{"session2147483646", true}});
    int attempts = 0;
    const auto taken = [&](const char*) -> CResult<bool> { return ++attempts, false; };
    EXPECT_EQ(RefusalOf(CreateSessionFolder(plan, taken).Error()), StartRefusal::NoSessionNumber);
    EXPECT_EQ(attempts, 1);

    // The next number has one digit more, and its paths no longer fit.
    std::memset(g_workDir, 'w', kPathBytes - 31);
    g_workDir[kPathBytes - 31] = '\0';
    plan = PlanSession({{"session8", true}});
    ASSERT_TRUE(plan.pathsFit);
    attempts = 0;
    EXPECT_EQ(RefusalOf(CreateSessionFolder(plan, taken).Error()), StartRefusal::TemplateNotCopied);
    EXPECT_EQ(attempts, 1);
}

TEST_F(SessionLifecycleTest, StalePicturesGoUpToTheFirstGap)
{
    std::set<std::string> files = {"s/imageBMP1.bmp", "s/imageBMP2.bmp", "s/imageBMP3.bmp",
                                   "s/imageBMP5.bmp"};
    std::vector<std::string> tried;
    DeleteStalePictures("s", [&](const char* path) {
        tried.push_back(path);
        return files.erase(path) == 1;
    });
    EXPECT_EQ(tried, (std::vector<std::string>{"s/imageBMP1.bmp", "s/imageBMP2.bmp", "s/imageBMP3.bmp",
                                               "s/imageBMP4.bmp"}));
    EXPECT_EQ(files, (std::set<std::string>{"s/imageBMP5.bmp"}));
}

TEST_F(SessionLifecycleTest, EndReportsOnlyASessionThatWrotePictures)
{
    g_session.sessionNumber = 3;
    g_session.frameTotal = 251;
    g_session.imageCounter = 6;
    g_session.patcherSteps = 4;
    g_session.previousOffset = 5;
    g_session.lastCaptureX = 10;
    g_session.lastCaptureY = 20;
    EXPECT_TRUE(EndSessionRecords());
    EXPECT_TRUE(g_session.reportPresent);
    EXPECT_EQ(g_session.reportSession, 3);
    EXPECT_EQ(g_session.reportImage, 6);
    EXPECT_EQ(g_session.imageCounter, 1);
    EXPECT_EQ(g_session.patcherSteps, 0);
    EXPECT_EQ(g_session.previousOffset, 0);
    EXPECT_EQ(g_session.lastCaptureX, 0);
    EXPECT_EQ(g_session.lastCaptureY, 0);
    // The number and the frame total stay until the next session starts.
    EXPECT_EQ(g_session.sessionNumber, 3);
    EXPECT_EQ(g_session.frameTotal, 251);

    // A session without pictures leaves the earlier report alone.
    g_session.sessionNumber = 4;
    EXPECT_FALSE(EndSessionRecords());
    EXPECT_EQ(g_session.reportSession, 3);
}

TEST_F(CaptureRuleTest, OnlyAGrabLikeTheHeldOneIsComparedWithIt)
{
    g_capture.previousWidth = 120;
    g_capture.previousHeight = 80;
    g_capture.comparison.assign(120 * 80, 0);
    const struct
    {
        int imageCounter, width, height;
        bool compared;
    } cases[] = {
        {2, 120, 80, true},  {9, 120, 80, true},
        {1, 120, 80, false}, // a session's first picture is whole, whatever the last session held
        {2, 121, 80, false}, {2, 120, 79, false}, // a new size
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComparesWithPrevious(c.imageCounter, c.width, c.height), c.compared)
            << c.imageCounter << " " << c.width << "x" << c.height;
    // No image held (a missing whole picture, or a released one): the next grab is whole again.
    g_capture.comparison.clear();
    EXPECT_FALSE(ComparesWithPrevious(2, 120, 80));
}

TEST_F(SessionReportTest, ReportsFrameTotalPlusOne)
{
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

} // namespace
