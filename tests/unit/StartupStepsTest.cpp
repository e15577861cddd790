// The program's start-up steps: its checks run in a fixed order, stop at the first failure, and each
// failure has its own box.
#include "ProgramState.h"
#include "app/Startup.h"
#include "state/WorkingDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Each step answers what the test chose and leaves its name behind.
class CScriptedSteps final : public IStartupSteps
{
public:
    bool soleCopy = true;
    bool workDir = true;
    int bitmapRows = 10;
    int cursorRows = 10;
    int frameRows = 10;
    bool hookLibrary = true;
    std::vector<std::string> ran;

    bool ClaimSoleCopy() override { return Ran("copy", soleCopy); }
    bool WorkingDirectoryRecorded() override { return Ran("workdir", workDir); }
    void ReadTexts() override { ran.push_back("texts"); }
    int LoadBitmapOffsets() override { return Ran("bmpoffs", bitmapRows); }
    int LoadCursorOffsets() override { return Ran("curoffs", cursorRows); }
    int LoadFrameOffsets() override { return Ran("frmoffs", frameRows); }
    bool LoadHookLibrary() override { return Ran("hook", hookLibrary); }

private:
    template <typename T> T Ran(const char* step, T result)
    {
        ran.push_back(step);
        return result;
    }
};

const std::vector<std::string> kAllSteps = {"copy",    "workdir", "texts", "bmpoffs",
                                            "curoffs", "frmoffs", "hook"};

std::vector<std::string> FirstSteps(size_t n)
{
    return {kAllSteps.begin(), kAllSteps.begin() + n};
}

TEST(StartupStepsTest, AllStepsRunInOrderWhenNothingFails)
{
    CScriptedSteps steps;
    steps.cursorRows = 0; // empty cursor and frame files do not stop start-up
    steps.frameRows = 0;
    EXPECT_FALSE(RunStartupSteps(steps));
    EXPECT_EQ(steps.ran, kAllSteps);
}

TEST(StartupStepsTest, TheFirstFailureStopsStartUpWithItsBox)
{
    struct SCase
    {
        void (*spoil)(CScriptedSteps&);
        const char* message;
        bool warning;
        size_t stepsRun;
    };
    const SCase cases[] = {
        {[](CScriptedSteps& s) { s.soleCopy = false; },
         "Flickmere is already running, possibly for another user.\nOnly one copy can record at a time on "
         "this computer: please use the one that is open.",
         false, 1},
        {[](CScriptedSteps& s) { s.workDir = false; },
         "Can't read the working directory: its path must be shorter than 260 characters.", false, 2},
        // bmpoffs.ini is named even when every offset file is missing: it is always read first.
        {[](CScriptedSteps& s) { s.bitmapRows = s.cursorRows = s.frameRows = -1; },
         "Can't open INI file: bmpoffs.ini!", false, 4},
        {[](CScriptedSteps& s) { s.bitmapRows = 0; }, "INI file: bmpoffs.ini is empty!", false, 4},
        {[](CScriptedSteps& s) { s.cursorRows = -1; }, "Can't open INI file: curoffs.ini!", false, 5},
        {[](CScriptedSteps& s) { s.frameRows = -1; }, "Can't open INI file: frmoffs.ini!", false, 6},
        // The hook library is looked for only once the offset files are read, and only it warns.
        {[](CScriptedSteps& s) { s.hookLibrary = false; }, "Can't load HookDll.dll.", true, 7},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.message);
        CScriptedSteps steps;
        c.spoil(steps);
        const std::optional<Notice> refusal = RunStartupSteps(steps);
        ASSERT_TRUE(refusal);
        EXPECT_STREQ(refusal->text, c.message);
        EXPECT_EQ(refusal->icon == NoticeIcon::Warning, c.warning);
        // Another running copy is no fault: only its box informs, under the program's name.
        const bool soleCopy = c.stepsRun == 1;
        EXPECT_EQ(refusal->icon == NoticeIcon::Information, soleCopy);
        EXPECT_STREQ(refusal->caption, soleCopy ? "Flickmere" : "Error!");
        EXPECT_TRUE(refusal->owned);
        EXPECT_EQ(steps.ran, FirstSteps(c.stepsRun));
    }
}

using StartupStepsWorkDirTest = testsupport::CProgramTest;

// Found at start-up, not at the first Capture, where the template path would come out empty.
TEST_F(StartupStepsWorkDirTest, AWorkingDirectoryTooLongForTheSessionPathsIsRefused)
{
    std::memset(g_workDir, 'w', kPathBytes - 47);
    g_workDir[kPathBytes - 47] = '\0';
    CScriptedSteps steps;
    const std::optional<Notice> refusal = RunStartupSteps(steps);
    ASSERT_TRUE(refusal);
    EXPECT_STREQ(refusal->text, "The working directory's path is too long for the session files.\nPlease "
                                "start Flickmere from a folder with a shorter path.");
    EXPECT_EQ(refusal->icon, NoticeIcon::Error);
    EXPECT_EQ(steps.ran, FirstSteps(2));

    g_workDir[kPathBytes - 48] = '\0';
    EXPECT_FALSE(RunStartupSteps(steps));
}

} // namespace
