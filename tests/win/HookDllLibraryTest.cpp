// HookDll.dll as a library: its exports, the capturing key its shared section holds for every process,
// and its hook procedure called here directly.
#include "HookTestSupport.h"
#include "harness/DemoTargetClient.h"
#include "harness/Keyboard.h"

#include "capture/win32/HookLibrary.h"
#include "common/win32/Handles.h"
#include "hook/HookDll.h"
#include "hook/TwinHelperProtocol.h"
#include "tests/win/hookpeer/HookPeerProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace hooktest;

// Read from the mapped image, where an RVA is simply an offset from the module base.
std::vector<std::string> SortedExportNames(HMODULE module)
{
    auto base = reinterpret_cast<const BYTE*>(module);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (directory.Size == 0)
        return names;
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    auto nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    std::sort(names.begin(), names.end());
    return names;
}

DWORD CaptureKeySeenByAnotherProcess()
{
    CPeer peer("key");
    return peer.Started() ? peer.ExitCode() : hookpeer::kFailed;
}

TEST(HookDllLibrary, ExportsExactlyItsNames)
{
    CModule dll(::LoadLibraryExA(BesideTestExe("HookDll.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
    ASSERT_TRUE(dll);
    const std::vector<std::string> expected = {"GETCAPTUREKEY", "SETCAPTUREKEY", "SETRECORDEDPROCESS",
                                               "SETWINDOWNAME", "_SPYGETF12PROC@12"};
    EXPECT_EQ(SortedExportNames(dll.Get()), expected);
}

TEST(HookDllLibrary, StartsAsPlainF12AndSharesTheKeyWithOtherProcesses)
{
    const CaptureKey plainF12{VK_F12};
    EXPECT_EQ(CaptureKeySeenByAnotherProcess(), PackKey(plainF12))
        << "a fresh section holds F12 without modifiers";

    CTestHooks dll;
    ASSERT_TRUE(dll.Loaded());
    EXPECT_EQ(dll.CurrentCaptureKey(), plainF12);

    // Each modifier alone in one of the two, so a mix-up of their order shows.
    for (const CaptureKey& choice :
         {CaptureKey{VK_F1, false, true, true}, CaptureKey{VK_F5, true, false, false},
          CaptureKey{VK_F12, true, true, true}}) {
        dll.SetCaptureKey(choice);
        EXPECT_EQ(dll.CurrentCaptureKey(), choice);
        EXPECT_EQ(CaptureKeySeenByAnotherProcess(), PackKey(choice));
    }
}

TEST(HookDllLibrary, FreeForgetsTheFunctionsOfTheLibrary)
{
    CHookLibrary hooks;
    ASSERT_TRUE(hooks.Load());
    ASSERT_NE(hooks.HookProc(), nullptr);
    hooks.Free();
    EXPECT_EQ(hooks.Module(), nullptr);
    EXPECT_EQ(hooks.HookProc(), nullptr);
    // The library is gone from this process: a call that still went into it would crash.
    EXPECT_EQ(hooks.CurrentCaptureKey(), CaptureKey{});
    hooks.SetWindowName("after Free");
}

// Windows calls a hook library back in the thread that installed it for a program of the other
// bitness: here the 64-bit library is called in this process while a 32-bit program has the keyboard.
// Where the twin hooks that program's thread (its helper holds the thread's mark), the press is the
// twin's, and this library must neither post nor swallow it; in any other program it takes the press,
// or nobody would.
TEST(HookDllLibrary, CalledForA32BitProgramLeavesThePressToItsTwinWhereTheTwinIs)
{
    CTestHooks dll;
    ASSERT_TRUE(dll.Loaded());
    CTargetWindow dialog(UniqueTitle("dialog"));
    ASSERT_TRUE(dialog.handle);
    dll.SetWindowName(dialog.title.c_str());
    constexpr LPARAM kFirstKeyDown = 0x00580001;
    constexpr LPARAM kKeyUp = static_cast<LPARAM>(0xC0580001);
    const struct
    {
        bool thirtyTwoBit;
        bool twinThere;
        bool taken;
    } cases[] = {{true, true, false}, {true, false, true}, {false, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.thirtyTwoBit ? "32-bit" : "64-bit") + " program in front, " +
                     (c.twinThere ? "the twin on its thread" : "no twin"));
        e2e::CDemoTarget program(80, 80, false, c.thirtyTwoBit);
        ASSERT_TRUE(program.Window());
        char markName[kTwinMarkBytes];
        TwinMarkName(::GetWindowThreadProcessId(program.Window(), nullptr), markName);
        const CKernelHandle mark(c.twinThere ? ::CreateMutexA(nullptr, FALSE, markName) : nullptr);
        e2e::Activate(program.Window());
        ASSERT_EQ(::GetForegroundWindow(), program.Window());
        const LRESULT swallowed = dll.HookProc()(HC_ACTION, VK_F12, kFirstKeyDown);
        MSG posted;
        const bool capture = ::PeekMessageA(&posted, dialog.handle, HOOKDLL_CAPTURE_MESSAGE,
                                            HOOKDLL_CAPTURE_MESSAGE, PM_REMOVE);
        EXPECT_EQ(swallowed != 0, c.taken);
        EXPECT_EQ(capture, c.taken);
        dll.HookProc()(HC_ACTION, VK_F12, kKeyUp);
    }
}

} // namespace
