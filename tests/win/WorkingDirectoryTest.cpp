// The working directory as start-up records it, with the platform failing to hand it over.
#include "FailingCalls.h"
#include "ProgramState.h"

#include "app/win32/CurrentDirectory.h"
#include "state/WorkingDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <windows.h>

namespace {

using WorkingDirectoryTest = testsupport::CProgramTest;

TEST_F(WorkingDirectoryTest, ADirectoryTooLongForTheBufferIsNotRecorded)
{
    std::strcpy(g_workDir, "C:\\an earlier value");
    {
        wintest::CFailingCall tooLong(wintest::Call::GetCurrentDirectoryA);
        EXPECT_FALSE(RecordWorkingDirectory());
        EXPECT_STREQ(g_workDir, "");
    }
    EXPECT_TRUE(RecordWorkingDirectory());
    char current[MAX_PATH] = "";
    ::GetCurrentDirectoryA(sizeof current, current);
    EXPECT_STREQ(g_workDir, current);
}

} // namespace
