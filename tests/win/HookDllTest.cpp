// HookDll.dll as the program uses it: loaded here, hook installed system-wide, and real key presses
// (SendInput) delivered to a window of flickmere_hookpeer.exe, so the hook procedure runs inside another
// process, as it does inside a recorded application.
#include "harness/DemoTargetClient.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"

#include "capture/win32/HookLibrary.h"
#include "common/win32/Handles.h"
#include "hook/HookDll.h"
#include "state/TextTable.h"
#include "tests/win/hookpeer/HookPeerProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD kWaitMs = 3000;
// Pressed after the keys under test: once the peer reports it, every earlier key has been through the
// hook, and whatever the hook posted for them is already in this thread's queue.
constexpr WORD kSentinelKey = VK_F11;

std::string BesideTestExe(const char* fileName)
{
    return e2e::BinDir() + "\\" + fileName;
}

std::string UniqueTitle(const char* what)
{
    static int counter = 0;
    return std::string("Flickmere hook test ") + what + " " + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(counter++);
}

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

// The library loaded as the program loads it. Puts the capturing key and window name back as a fresh
// section has them, since the section outlives this object while any other process maps the DLL.
class CTestHooks : public CHookLibrary
{
public:
    CTestHooks() { m_loaded = Load(); }
    ~CTestHooks()
    {
        SetCaptureKey(VK_F12, false, false, false);
        SetWindowName("");
    }
    bool Loaded() const { return m_loaded; }

private:
    bool m_loaded;
};

// A process started from flickmere_hookpeer.exe; closed (or, failing that, ended) with the object.
class CPeer
{
public:
    explicit CPeer(const std::string& arguments)
        : m_process("\"" + BesideTestExe("flickmere_hookpeer.exe") + "\" " + arguments)
    {
    }
    ~CPeer() { m_process.End(window); }
    CPeer(const CPeer&) = delete;
    CPeer& operator=(const CPeer&) = delete;

    bool Started() const { return m_process.Started(); }
    DWORD ExitCode()
    {
        return m_process.WaitForExit(std::chrono::milliseconds(kWaitMs)).value_or(hookpeer::kFailed);
    }

    HWND window = nullptr;

private:
    e2e::CProcess m_process;
};

DWORD CaptureKeySeenByAnotherProcess()
{
    CPeer peer("key");
    return peer.Started() ? peer.ExitCode() : hookpeer::kFailed;
}

// A hidden top-level window standing in for the program's main dialog; FindWindowA finds hidden
// windows too, and a hidden one cannot take the foreground from the peer.
class CTargetWindow
{
public:
    explicit CTargetWindow(const std::string& title) : title(title)
    {
        static const ATOM windowClass = [] {
            WNDCLASSA description{};
            description.lpfnWndProc = ::DefWindowProcA;
            description.hInstance = ::GetModuleHandleA(nullptr);
            description.lpszClassName = "FlickmereHookTestTarget";
            return ::RegisterClassA(&description);
        }();
        handle = ::CreateWindowExA(0, MAKEINTATOM(windowClass), title.c_str(), WS_OVERLAPPED, 0, 0, 100, 100,
                                   nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    }
    ~CTargetWindow()
    {
        if (handle)
            ::DestroyWindow(handle);
    }
    CTargetWindow(const CTargetWindow&) = delete;
    CTargetWindow& operator=(const CTargetWindow&) = delete;

    std::string title;
    HWND handle = nullptr;
};

struct SPosted
{
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Modifiers down, the key down and up, modifiers up in reverse order.
std::vector<INPUT> Press(WORD virtualKey, std::initializer_list<WORD> modifiers = {})
{
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers)
        inputs.push_back(e2e::KeyInput(modifier, false));
    inputs.push_back(e2e::KeyInput(virtualKey, false));
    inputs.push_back(e2e::KeyInput(virtualKey, true));
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
        inputs.push_back(e2e::KeyInput(*it, true));
    return inputs;
}

// The outcome of some key presses: where the hook posted, and which keys the peer's window still got.
struct SOutcome
{
    std::vector<std::pair<HWND, POINT>> captures;
    std::vector<WPARAM> peerKeys;
    // The peer's thread kept its DPI awareness through every key, the sentinel's included.
    bool peerStayedUnaware = true;

    bool PeerGot(WPARAM virtualKey) const
    {
        return std::count(peerKeys.begin(), peerKeys.end(), virtualKey) != 0;
    }
    int CapturesAt(HWND window) const
    {
        return static_cast<int>(
            std::count_if(captures.begin(), captures.end(),
                          [window](const auto& capture) { return capture.first == window; }));
    }
};

// Runs with the peer taking messages either straight with GetMessage or peeking at each first
// (PM_NOREMOVE), which makes the hook see the same key with HC_NOREMOVE before HC_ACTION.
class HookDllAcrossProcesses : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dll.Loaded()) << "HookDll.dll beside the test exe with all four exports";
        m_dialog = std::make_unique<CTargetWindow>(UniqueTitle("dialog"));
        ASSERT_TRUE(m_dialog->handle);
        m_dll.SetWindowName(m_dialog->title.c_str());
        m_hook.Reset(::SetWindowsHookExA(WH_KEYBOARD, m_dll.HookProc(), m_dll.Module(), 0));
        ASSERT_TRUE(m_hook);

        std::string arguments = "window " + std::to_string(reinterpret_cast<UINT_PTR>(m_dialog->handle)) +
                                (GetParam() ? " peek" : "");
        m_peer = std::make_unique<CPeer>(arguments);
        ASSERT_TRUE(m_peer->Started());
        ASSERT_TRUE(PumpUntil([this] { return FindPosted(hookpeer::kReadyMessage) != nullptr; }))
            << "the peer never showed its window";
        m_peer->window = reinterpret_cast<HWND>(FindPosted(hookpeer::kReadyMessage)->wParam);
        ASSERT_TRUE(PumpUntil([this] { return ::GetForegroundWindow() == m_peer->window; }))
            << "the peer's window never became the foreground window";
        m_posted.clear();
    }

    void TearDown() override
    {
        m_peer.reset();
        m_hook.Reset();
    }

    // Pumps this thread's messages, keeping those posted to the test's windows, until done() holds.
    bool PumpUntil(const std::function<bool()>& done)
    {
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == HOOKDLL_CAPTURE_MESSAGE ||
                    message.message == hookpeer::kReadyMessage || message.message == hookpeer::kKeyMessage) {
                    m_posted.push_back({message.hwnd, message.message, message.wParam, message.lParam});
                } else {
                    ::TranslateMessage(&message);
                    ::DispatchMessageA(&message);
                }
            }
            if (done())
                return true;
            const DWORD elapsed = ::GetTickCount() - start;
            if (elapsed >= kWaitMs)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kWaitMs - elapsed, QS_ALLINPUT);
        }
    }

    const SPosted* FindPosted(UINT message) const
    {
        auto it = std::find_if(m_posted.begin(), m_posted.end(),
                               [message](const SPosted& posted) { return posted.message == message; });
        return it == m_posted.end() ? nullptr : &*it;
    }

    // Sends the inputs, then the sentinel key, and collects what happened until the peer reports it.
    SOutcome Send(std::vector<INPUT> inputs)
    {
        m_posted.clear();
        for (const INPUT& input : Press(kSentinelKey))
            inputs.push_back(input);
        SOutcome outcome;
        if (::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) {
            ADD_FAILURE() << "SendInput failed";
            return outcome;
        }
        const bool sentinelSeen = PumpUntil([this] {
            return std::any_of(m_posted.begin(), m_posted.end(), [](const SPosted& posted) {
                return posted.message == hookpeer::kKeyMessage && posted.wParam == kSentinelKey;
            });
        });
        EXPECT_TRUE(sentinelSeen) << "the peer never got the key sent after the keys under test";
        for (const SPosted& posted : m_posted) {
            if (posted.message == hookpeer::kKeyMessage && posted.lParam != 1)
                outcome.peerStayedUnaware = false;
            if (posted.message == HOOKDLL_CAPTURE_MESSAGE)
                outcome.captures.push_back({posted.window, POINT{static_cast<LONG>(posted.wParam),
                                                                 static_cast<LONG>(posted.lParam)}});
            else if (posted.message == hookpeer::kKeyMessage && posted.wParam != kSentinelKey)
                outcome.peerKeys.push_back(posted.wParam);
        }
        return outcome;
    }

    static void MoveCursor(int x, int y)
    {
        ASSERT_TRUE(::SetCursorPos(x, y));
        POINT cursor;
        ASSERT_TRUE(::GetCursorPos(&cursor));
        ASSERT_EQ(cursor.x, x);
        ASSERT_EQ(cursor.y, y);
    }

    CTestHooks m_dll;
    std::unique_ptr<CTargetWindow> m_dialog;
    CHook m_hook;
    std::unique_ptr<CPeer> m_peer;
    std::vector<SPosted> m_posted;
};

TEST(HookDllLibrary, ExportsExactlyTheFourNames)
{
    CModule dll(::LoadLibraryExA(BesideTestExe("HookDll.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
    ASSERT_TRUE(dll);
    const std::vector<std::string> expected = {"GETCAPTUREKEY", "SETCAPTUREKEY", "SETWINDOWNAME",
                                               "_SPYGETF12PROC@12"};
    EXPECT_EQ(SortedExportNames(dll.Get()), expected);
}

TEST(HookDllLibrary, StartsAsPlainF12AndSharesTheKeyWithOtherProcesses)
{
    EXPECT_EQ(CaptureKeySeenByAnotherProcess(), hookpeer::EncodeCaptureKey(VK_F12, false, false, false))
        << "a fresh section holds F12 without modifiers";

    CTestHooks dll;
    ASSERT_TRUE(dll.Loaded());
    int key = 0;
    bool shift = true, ctrl = true, alt = true;
    dll.GetCaptureKey(key, shift, ctrl, alt);
    EXPECT_EQ(hookpeer::EncodeCaptureKey(key, shift, ctrl, alt),
              hookpeer::EncodeCaptureKey(VK_F12, false, false, false));

    // Each modifier alone in one of the two, so a mix-up of their order shows.
    struct SChoice
    {
        int key;
        bool shift, ctrl, alt;
    };
    for (const SChoice& choice : {SChoice{VK_F1, true, false, true}, SChoice{VK_F5, false, true, false},
                                  SChoice{VK_F12, true, true, true}}) {
        const DWORD expectedKey =
            hookpeer::EncodeCaptureKey(choice.key, choice.shift, choice.ctrl, choice.alt);
        dll.SetCaptureKey(choice.key, choice.shift, choice.ctrl, choice.alt);
        dll.GetCaptureKey(key, shift, ctrl, alt);
        EXPECT_EQ(hookpeer::EncodeCaptureKey(key, shift, ctrl, alt), expectedKey);
        EXPECT_EQ(CaptureKeySeenByAnotherProcess(), expectedKey);
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
    int key = 0;
    bool shift = false, ctrl = false, alt = false;
    hooks.GetCaptureKey(key, shift, ctrl, alt);
    EXPECT_EQ(key, 0);
    hooks.SetWindowName("after Free");
}

TEST_P(HookDllAcrossProcesses, PlainF12PostsTheCursorOncePerPressAndIsSwallowed)
{
    ASSERT_NO_FATAL_FAILURE(MoveCursor(300, 200));
    SOutcome first = Send(Press(VK_F12));
    ASSERT_EQ(first.captures.size(), 1u);
    EXPECT_EQ(first.captures[0].first, m_dialog->handle);
    EXPECT_EQ(first.captures[0].second.x, 300);
    EXPECT_EQ(first.captures[0].second.y, 200);
    EXPECT_FALSE(first.PeerGot(VK_F12));
    // The cursor is read with the thread made DPI aware for that one call; the application's thread
    // is given back as it was.
    EXPECT_TRUE(first.peerStayedUnaware);

    ASSERT_NO_FATAL_FAILURE(MoveCursor(517, 389));
    SOutcome second = Send(Press(VK_F12));
    ASSERT_EQ(second.captures.size(), 1u);
    EXPECT_EQ(second.captures[0].second.x, 517);
    EXPECT_EQ(second.captures[0].second.y, 389);

    // Held down: the repeats are swallowed too, but only the first key-down posts.
    SOutcome held = Send({e2e::KeyInput(VK_F12, false), e2e::KeyInput(VK_F12, false),
                          e2e::KeyInput(VK_F12, false), e2e::KeyInput(VK_F12, true)});
    EXPECT_EQ(held.captures.size(), 1u);
    EXPECT_FALSE(held.PeerGot(VK_F12));

    // With a modifier it is not the capturing key, so the application gets it.
    SOutcome shifted = Send(Press(VK_F12, {VK_SHIFT}));
    EXPECT_TRUE(shifted.captures.empty());
    EXPECT_TRUE(shifted.PeerGot(VK_F12));
}

TEST_P(HookDllAcrossProcesses, KeySetHereNeedsExactlyItsModifiersInTheOtherProcess)
{
    m_dll.SetCaptureKey(VK_F1, true, false, true);

    SOutcome chosen = Send(Press(VK_F1, {VK_SHIFT, VK_MENU}));
    EXPECT_EQ(chosen.captures.size(), 1u);
    EXPECT_FALSE(chosen.PeerGot(VK_F1));

    SOutcome plain = Send(Press(VK_F1));
    EXPECT_TRUE(plain.captures.empty());
    EXPECT_TRUE(plain.PeerGot(VK_F1));

    SOutcome oldKey = Send(Press(VK_F12));
    EXPECT_TRUE(oldKey.captures.empty());
    EXPECT_TRUE(oldKey.PeerGot(VK_F12));

    SOutcome missingShift = Send(Press(VK_F1, {VK_MENU}));
    EXPECT_TRUE(missingShift.captures.empty());
    EXPECT_TRUE(missingShift.PeerGot(VK_F1));

    SOutcome extraCtrl = Send(Press(VK_F1, {VK_SHIFT, VK_CONTROL, VK_MENU}));
    EXPECT_TRUE(extraCtrl.captures.empty());
    EXPECT_TRUE(extraCtrl.PeerGot(VK_F1));

    m_dll.SetCaptureKey(VK_F12, false, false, false);
    EXPECT_EQ(Send(Press(VK_F12)).captures.size(), 1u);
}

TEST_P(HookDllAcrossProcesses, LatestWindowNameGetsTheMessage)
{
    // The longest title a language can give the dialog; one character more is cut off and still names
    // this window.
    std::string longTitle = UniqueTitle("other dialog");
    longTitle.resize(kTextBytes - 1, '.');
    CTargetWindow other(longTitle);
    ASSERT_TRUE(other.handle);

    m_dll.SetWindowName(longTitle.c_str());
    SOutcome redirected = Send(Press(VK_F12));
    EXPECT_EQ(redirected.CapturesAt(other.handle), 1);
    EXPECT_EQ(redirected.CapturesAt(m_dialog->handle), 0);

    m_dll.SetWindowName((longTitle + "!").c_str());
    EXPECT_EQ(Send(Press(VK_F12)).CapturesAt(other.handle), 1);

    m_dll.SetWindowName(m_dialog->title.c_str());
    SOutcome back = Send(Press(VK_F12));
    EXPECT_EQ(back.CapturesAt(m_dialog->handle), 1);
    EXPECT_EQ(back.CapturesAt(other.handle), 0);
}

TEST_P(HookDllAcrossProcesses, OnlyTheNamingProcessGetsTheMessage)
{
    // The peer's window carries the same title as a window of this process, which names it: the
    // message must come here, with the other window above this one and below it.
    CTargetWindow own(hookpeer::kWindowTitle);
    ASSERT_TRUE(own.handle);
    m_dll.SetWindowName(hookpeer::kWindowTitle);

    for (HWND bottom : {m_peer->window, own.handle}) {
        ::SetWindowPos(bottom, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SOutcome outcome = Send(Press(VK_F12));
        ASSERT_EQ(outcome.captures.size(), 1u);
        EXPECT_EQ(outcome.captures[0].first, own.handle);
    }
}

// Windows calls a hook library back in the thread that installed it for a program of the other
// bitness: here the 64-bit library is called in this process while a 32-bit program has the keyboard.
// The press is its twin's (which runs inside that program), so this library must neither post nor
// swallow it; for a 64-bit program in front it takes the press as always.
TEST(HookDllLibrary, CalledForA32BitProgramLeavesThePressToItsTwin)
{
    CTestHooks dll;
    ASSERT_TRUE(dll.Loaded());
    CTargetWindow dialog(UniqueTitle("dialog"));
    ASSERT_TRUE(dialog.handle);
    dll.SetWindowName(dialog.title.c_str());
    constexpr LPARAM kFirstKeyDown = 0x00580001;
    for (const bool thirtyTwoBit : {true, false}) {
        SCOPED_TRACE(thirtyTwoBit ? "32-bit program in front" : "64-bit program in front");
        e2e::CDemoTarget program(80, 80, false, thirtyTwoBit);
        ASSERT_TRUE(program.Window());
        e2e::Activate(program.Window());
        ASSERT_EQ(::GetForegroundWindow(), program.Window());
        const LRESULT swallowed = dll.HookProc()(HC_ACTION, VK_F12, kFirstKeyDown);
        MSG posted;
        const bool capture = ::PeekMessageA(&posted, dialog.handle, HOOKDLL_CAPTURE_MESSAGE,
                                            HOOKDLL_CAPTURE_MESSAGE, PM_REMOVE);
        EXPECT_EQ(swallowed != 0, !thirtyTwoBit);
        EXPECT_EQ(capture, !thirtyTwoBit);
    }
}

INSTANTIATE_TEST_SUITE_P(HookDll, HookDllAcrossProcesses, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "PeekingLoop" : "GetMessageLoop";
                         });

} // namespace
