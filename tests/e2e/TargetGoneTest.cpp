// A target window that is gone: Capture on it is refused, and closing it ends its session at once.
#include "DemoScene.h"
#include "Driver.h"

#include "common/File.h"
#include "common/win32/Handles.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace e2e;

class TargetGoneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_target = std::make_unique<CDemoTarget>(60, 60);
        ASSERT_TRUE(m_target->Window());
        m_app = std::make_unique<CApp>(m_dir.Path());
        ASSERT_TRUE(m_app->WaitForDialog());
        ASSERT_TRUE(m_app->SelectListEntry(IDC_WINDOW_LIST, kDemoTitle));
        ASSERT_TRUE(WaitUntil([&] { return m_app->Enabled(IDC_CAPTURE); }));
    }

    void ExpectTargetNotFoundBox(std::chrono::milliseconds within)
    {
        const auto box = m_app->WaitForMessageBox(within);
        ASSERT_TRUE(box) << "no box within " << within.count() << " ms";
        EXPECT_EQ(box->text, "Target window is not found");
        EXPECT_EQ(box->caption, "HWND Problem");
        m_app->CloseMessageBox(*box);
    }

    CWorkDir m_dir;
    std::unique_ptr<CDemoTarget> m_target;
    std::unique_ptr<CApp> m_app;
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
    EXPECT_FALSE(FileExists(m_dir.File("session1")));
    EXPECT_FALSE(m_app->WaitForMessageBox(500ms));
}

TEST_F(TargetGoneTest, ClosingTheRecordedWindowEndsTheSessionWithinASecond)
{
    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Uncapture"; }));
    Activate(m_target->Window());
    PressKey(VK_F12);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(m_dir.File("session1\\imageBMP1.bmp")); }));
    m_app->WaitForHandlers();

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

} // namespace
