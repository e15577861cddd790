// The capturing key through the real hook library, as a user meets it: the key a new run starts with,
// and Alt in the key whatever the speed at which its key events arrive.
#include "DemoScene.h"
#include "harness/AppFixture.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"

#include "common/File.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

class HookKeyTest : public CAppFixture
{
protected:
    // Sends `events` to the demo target, all queued at once when `gap` is 0, else one by one with `gap`
    // between them as a person types; true when `app` wrote pictures into folder session<session>.
    bool PressWritesPictures(CApp& app, std::vector<INPUT> events, std::chrono::milliseconds gap, int session)
    {
        const int before = m_dir->Pictures(session);
        Activate(m_target->Window());
        if (gap.count() == 0) {
            ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
        } else {
            for (INPUT& event : events) {
                ::SendInput(1, &event, sizeof(INPUT));
                Pump(gap);
            }
        }
        const bool written = WaitUntil([&] { return m_dir->Pictures(session) > before; }, 2s);
        app.WaitForHandlers();
        return written;
    }
};

TEST_F(HookKeyTest, ANewRunStartsWithF12WhateverTheLastRunChose)
{
    // One working directory, so both runs load the same HookDll.dll, and a target that keeps that
    // library loaded after the first run ends, as any application the user typed into would.
    ASSERT_NO_FATAL_FAILURE(StartTarget(80, 80));
    {
        CApp first(m_dir->Path());
        ASSERT_TRUE(first.WaitForDialog());
        ASSERT_TRUE(first.AssignKey({VK_F5, true}, "Ctrl+F5"));
        ASSERT_TRUE(first.StartCapture(kDemoTitle));
        ASSERT_TRUE(PressWritesPictures(first, KeyChord(VK_F5, {VK_CONTROL}), 80ms, 1));
        first.Click(IDC_CAPTURE);
        ASSERT_TRUE(WaitUntil([&] { return first.Text(IDC_CAPTURE) == "Capture"; }));
        ASSERT_TRUE(first.Close());
    }

    ASSERT_NO_FATAL_FAILURE(StartApp());
    EXPECT_EQ(m_app->Text(IDC_CURRENT_KEY), "F12");
    ASSERT_TRUE(m_app->StartCapture(kDemoTitle));
    EXPECT_FALSE(PressWritesPictures(*m_app, KeyChord(VK_F5, {VK_CONTROL}), 80ms, 2))
        << "the first run's key still captures";
    EXPECT_TRUE(PressWritesPictures(*m_app, KeyChord(VK_F12), 80ms, 2))
        << "F12, the key shown, does not capture";
}

TEST_F(HookKeyTest, AltInTheKeyLeavesTheMenuAloneAtAnySpeed)
{
    ASSERT_NO_FATAL_FAILURE(StartTarget(80, 80, true));
    ASSERT_NO_FATAL_FAILURE(StartApp());
    ASSERT_TRUE(m_app->AssignKey({VK_F5, false, true}, "Alt+F5"));
    ASSERT_NO_FATAL_FAILURE(StartCapture());

    // All four events queued at once, as macro tools and remote desktops send them, and with a
    // person's gaps.
    for (const auto gap : {0ms, 80ms, 0ms}) {
        SCOPED_TRACE("gap " + std::to_string(gap.count()) + " ms");
        m_target->AddSquare(10 + 30 * m_dir->Pictures(1), 10, kRed);
        ASSERT_TRUE(PressWritesPictures(*m_app, KeyChord(VK_F5, {VK_MENU}), gap, 1));
        Pump(300ms);
        EXPECT_EQ(m_target->MenuRequests(), 0);
    }
    // Alt alone at machine speed still asks the window into menu mode: the count above can see it.
    std::vector<INPUT> alt = KeyChord(VK_MENU);
    Activate(m_target->Window());
    ::SendInput(static_cast<UINT>(alt.size()), alt.data(), sizeof(INPUT));
    EXPECT_TRUE(WaitUntil([&] { return m_target->MenuRequests() == 1; }));
}

} // namespace
