// A target window that is gone: Capture on it is refused, and closing it ends its session at once, by the
// dialog's watch or by the next press, whichever comes first.
#include "DemoScene.h"
#include "harness/AppFixture.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"

#include "common/File.h"
#include "common/win32/Handles.h"
#include "hook/HookDll.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace e2e;

class TargetGoneTest : public CAppFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(SelectTarget());
    }

    void ExpectTargetNotFoundBox(std::chrono::milliseconds within)
    {
        const auto box = m_app->WaitForMessageBox(within);
        ASSERT_TRUE(box) << "no box within " << within.count() << " ms";
        EXPECT_EQ(box->text, "Target window is not found");
        EXPECT_EQ(box->caption, "HWND Problem");
        m_app->CloseMessageBox(*box);
    }
};

TEST_F(TargetGoneTest, CaptureOnAClosedWindowIsRefusedAndTheListRefreshed)
{
    m_target->Close();
    m_app->Click(IDC_CAPTURE);
    ExpectTargetNotFoundBox(10s);
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Capture");
    EXPECT_FALSE(m_app->Enabled(IDC_CAPTURE)); // nothing is selected in the new list
    EXPECT_TRUE(m_app->Enabled(IDC_WINDOW_LIST));
    EXPECT_EQ(m_app->Text(IDC_CAPTURED_WINDOW), "None");
    const auto entries = m_app->ListItems(IDC_WINDOW_LIST);
    EXPECT_EQ(std::find(entries.begin(), entries.end(), kDemoTitle), entries.end());
    EXPECT_FALSE(FileExists(m_dir->File("session1")));
    EXPECT_FALSE(m_app->WaitForMessageBox(500ms));
}

TEST_F(TargetGoneTest, ClosingTheRecordedWindowEndsTheSessionWithinASecond)
{
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    ASSERT_NO_FATAL_FAILURE(Press(VK_F12, 1));

    m_target->Close();
    // No key is pressed: the dialog notices on its own, within a second (and a margin for a busy machine).
    ExpectTargetNotFoundBox(2s);
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Capture");
    EXPECT_EQ(m_app->Text(IDC_CAPTURED_WINDOW), "None");
    EXPECT_TRUE(m_app->Enabled(IDC_WINDOW_LIST));
    EXPECT_TRUE(m_app->Enabled(IDC_REFRESH));
    EXPECT_EQ(m_app->Text(IDC_LAST_SESSION).rfind("Result dir name - session1.", 0), 0u);
    // Ended once: no second box follows.
    EXPECT_FALSE(m_app->WaitForMessageBox(1s));
}

// Holds a thread of another process still while it lives: what is posted to the thread meanwhile waits
// in its queue.
class CHeldThread
{
public:
    explicit CHeldThread(HWND window)
        : m_thread(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, ::GetWindowThreadProcessId(window, nullptr)))
    {
        m_held = m_thread && ::SuspendThread(m_thread.Get()) != static_cast<DWORD>(-1);
    }
    ~CHeldThread()
    {
        if (m_held)
            ::ResumeThread(m_thread.Get());
    }
    bool Held() const { return m_held; }

private:
    CKernelHandle m_thread;
    bool m_held = false;
};

TEST_F(TargetGoneTest, APressAfterTheWindowClosedEndsTheSessionWithoutAPicture)
{
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    ASSERT_NO_FATAL_FAILURE(Press(VK_F12, 1));
    {
        // A press the hook posted just before the dialog's watch looked again. Posted messages are taken
        // before timer messages, so the press is handled first, once the dialog runs again.
        const CHeldThread held(m_app->Dialog());
        ASSERT_TRUE(held.Held());
        m_target->Close();
        ::PostMessageA(m_app->Dialog(), HOOKDLL_CAPTURE_MESSAGE, 100, 100);
    }
    ExpectTargetNotFoundBox(10s);
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Capture");
    EXPECT_EQ(m_app->Text(IDC_LAST_SESSION).rfind("Result dir name - session1.", 0), 0u);
    // Nothing of the closed window, nor of the screen in its place, is written, and the session ended
    // once: no further box follows, from the press or from the watch.
    EXPECT_FALSE(m_app->WaitForMessageBox(1s));
    EXPECT_FALSE(FileExists(PicturePath(2)));
}

} // namespace
