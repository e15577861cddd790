// HookDll.dll as the program uses it: loaded here, hook installed system-wide, and real key presses
// (SendInput) delivered to a window of flickmere_hookpeer.exe, so the hook procedure runs inside another
// process, as it does inside a recorded application.
#include "HookTestSupport.h"
#include "harness/Keyboard.h"

#include "common/win32/Handles.h"
#include "hook/HookDll.h"
#include "state/TextTable.h"
#include "tests/win/hookpeer/HookPeerProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace hooktest;
using e2e::KeyChord;

// Pressed after the keys under test: once the peer reports it, every earlier key has been through the
// hook, and whatever the hook posted for them is already in this thread's queue.
constexpr WORD kSentinelKey = VK_F11;

struct SPosted
{
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

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
        for (const INPUT& input : KeyChord(kSentinelKey))
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

TEST_P(HookDllAcrossProcesses, PlainF12PostsTheCursorOncePerPressAndIsSwallowed)
{
    ASSERT_NO_FATAL_FAILURE(MoveCursor(300, 200));
    SOutcome first = Send(KeyChord(VK_F12));
    ASSERT_EQ(first.captures.size(), 1u);
    EXPECT_EQ(first.captures[0].first, m_dialog->handle);
    EXPECT_EQ(first.captures[0].second.x, 300);
    EXPECT_EQ(first.captures[0].second.y, 200);
    EXPECT_FALSE(first.PeerGot(VK_F12));
    // The cursor is read with the thread made DPI aware for that one call; the application's thread
    // is given back as it was.
    EXPECT_TRUE(first.peerStayedUnaware);

    ASSERT_NO_FATAL_FAILURE(MoveCursor(517, 389));
    SOutcome second = Send(KeyChord(VK_F12));
    ASSERT_EQ(second.captures.size(), 1u);
    EXPECT_EQ(second.captures[0].second.x, 517);
    EXPECT_EQ(second.captures[0].second.y, 389);

    // Held down: the repeats are swallowed too, but only the first key-down posts.
    SOutcome held = Send({e2e::KeyInput(VK_F12, false), e2e::KeyInput(VK_F12, false),
                          e2e::KeyInput(VK_F12, false), e2e::KeyInput(VK_F12, true)});
    EXPECT_EQ(held.captures.size(), 1u);
    EXPECT_FALSE(held.PeerGot(VK_F12));

    // With a modifier it is not the capturing key, so the application gets it.
    SOutcome shifted = Send(KeyChord(VK_F12, {VK_SHIFT}));
    EXPECT_TRUE(shifted.captures.empty());
    EXPECT_TRUE(shifted.PeerGot(VK_F12));
}

TEST_P(HookDllAcrossProcesses, KeySetHereNeedsExactlyItsModifiersInTheOtherProcess)
{
    m_dll.SetCaptureKey({VK_F1, false, true, true});

    SOutcome chosen = Send(KeyChord(VK_F1, {VK_SHIFT, VK_MENU}));
    EXPECT_EQ(chosen.captures.size(), 1u);
    EXPECT_FALSE(chosen.PeerGot(VK_F1));

    SOutcome plain = Send(KeyChord(VK_F1));
    EXPECT_TRUE(plain.captures.empty());
    EXPECT_TRUE(plain.PeerGot(VK_F1));

    SOutcome oldKey = Send(KeyChord(VK_F12));
    EXPECT_TRUE(oldKey.captures.empty());
    EXPECT_TRUE(oldKey.PeerGot(VK_F12));

    SOutcome missingShift = Send(KeyChord(VK_F1, {VK_MENU}));
    EXPECT_TRUE(missingShift.captures.empty());
    EXPECT_TRUE(missingShift.PeerGot(VK_F1));

    SOutcome extraCtrl = Send(KeyChord(VK_F1, {VK_SHIFT, VK_CONTROL, VK_MENU}));
    EXPECT_TRUE(extraCtrl.captures.empty());
    EXPECT_TRUE(extraCtrl.PeerGot(VK_F1));

    m_dll.SetCaptureKey({VK_F12});
    EXPECT_EQ(Send(KeyChord(VK_F12)).captures.size(), 1u);
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
    SOutcome redirected = Send(KeyChord(VK_F12));
    EXPECT_EQ(redirected.CapturesAt(other.handle), 1);
    EXPECT_EQ(redirected.CapturesAt(m_dialog->handle), 0);

    m_dll.SetWindowName((longTitle + "!").c_str());
    EXPECT_EQ(Send(KeyChord(VK_F12)).CapturesAt(other.handle), 1);

    m_dll.SetWindowName(m_dialog->title.c_str());
    SOutcome back = Send(KeyChord(VK_F12));
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
        SOutcome outcome = Send(KeyChord(VK_F12));
        ASSERT_EQ(outcome.captures.size(), 1u);
        EXPECT_EQ(outcome.captures[0].first, own.handle);
    }
}

INSTANTIATE_TEST_SUITE_P(HookDll, HookDllAcrossProcesses, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "PeekingLoop" : "GetMessageLoop";
                         });

} // namespace
