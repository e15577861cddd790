// A program that crashes ends with a status that says so and one line on standard error, never with
// status 0 in silence (which is how Wine ended them, after a debugger that was not there).
#include "TestFiles.h"
#include "common/win32/CrashReport.h"
#include "common/win32/Handles.h"
#include "harness/Process.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(CrashReportTest, EveryKindOfCrashEndsWithItsStatusAndALine)
{
    const struct
    {
        const char* how;
        const char* line; // what standard error starts with
    } cases[] = {
        {"overflow", "crashpeer: crashed: stack overflow (exception 0xC00000FD)\r\n"},
        {"thread", "crashpeer: crashed: stack overflow (exception 0xC00000FD)\r\n"},
        {"access", "crashpeer: crashed: an exception that nothing handled (0xC0000005)\r\n"},
        // The C++ runtime's own words, which the report leaves it to say.
        {"throw", "terminate called after throwing an instance of 'std::runtime_error'"},
    };
    testfiles::CScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        const std::string log = dir.File(std::string(c.how) + ".txt");
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        CFileHandle output(::CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(output);
        e2e::CProcess peer(e2e::BinDir() + "\\flickmere_crashpeer.exe " + c.how, {}, output.Get());
        ASSERT_TRUE(peer.Started());
        EXPECT_EQ(peer.WaitForExit(std::chrono::seconds(20)), std::optional<DWORD>(kCrashExitStatus));
        output.Reset();
        const std::vector<uint8_t> bytes = testfiles::ReadBytes(log);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()).rfind(c.line, 0), 0u)
            << std::string(bytes.begin(), bytes.end());
    }
}

} // namespace
