// The capturing key and the frame and offset popup, worked from outside like a user would.
#include "DemoScene.h"
#include "harness/AppFixture.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"
#include "harness/WindowSearch.h"
#include "TestSession.h"

#include "common/File.h"
#include "output/OffsetTables.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;
using testfiles::Read16;
using testfiles::ReadBytes;

class KeyAndPopupTest : public CAppFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(Start({}, 80, 80));
        m_popup = m_app->Popup();
        ASSERT_TRUE(m_popup);
    }

    std::string PopupText(int id) const { return WindowText(::GetDlgItem(m_popup, id)); }
    void SetPopupText(int id, const char* text) const
    {
        ::SendMessageA(::GetDlgItem(m_popup, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    // Enter in the popup takes the values over.
    void PressEnterInPopup()
    {
        Activate(m_popup);
        PressKey(CaptureKey{VK_RETURN});
        Pump(200ms);
    }

    HWND m_popup = nullptr;
};

TEST_F(KeyAndPopupTest, KeyTextComesBackFromTheHookLibrary)
{
    ASSERT_TRUE(m_app->AssignKey({VK_F1, false, true, true}, "Alt+Shift+F1"));
    ASSERT_TRUE(m_app->AssignKey({VK_F5, true, true, true}, "Ctrl+Alt+Shift+F5"));
    ASSERT_TRUE(m_app->AssignKey({VK_F12}, "F12"));
}

TEST_F(KeyAndPopupTest, KeyChangeTakesEffectDuringTheSession)
{
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    Press(VK_F12, 1);
    ASSERT_TRUE(m_app->AssignKey({VK_F1, false, true, true}, "Alt+Shift+F1"));
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Uncapture");

    m_target->AddSquare(10, 10, 0xE02020);
    Press(VK_F12, 0);
    Press(VK_F1, 0);
    EXPECT_FALSE(FileExists(PicturePath(2)));
    Press({VK_F1, false, true, true}, 2);
}

TEST_F(KeyAndPopupTest, AltInTheKeyLeavesTheRecordedProgramsMenuAlone)
{
    m_target = std::make_unique<CDemoTarget>(80, 80, true);
    ASSERT_TRUE(m_target->Window());
    m_app->Click(IDC_REFRESH);
    m_app->WaitForHandlers();
    // Alt pressed and released alone asks a window with a menu bar into menu mode.
    Activate(m_target->Window());
    PressKey(CaptureKey{VK_MENU});
    ASSERT_TRUE(WaitUntil([&] { return m_target->MenuRequests() > 0; }));
    const int requests = m_target->MenuRequests();

    ASSERT_TRUE(m_app->AssignKey({VK_F5, false, true}, "Alt+F5"));
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    Press({VK_F5, false, true, false}, 1);
    m_target->AddSquare(10, 10, 0xE02020);
    Press({VK_F5, false, true, false}, 2);
    Pump(300ms);
    EXPECT_EQ(m_target->MenuRequests(), requests);
}

TEST_F(KeyAndPopupTest, FrameAndOffsetTimeTheNextSteps)
{
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    Press(VK_F12, 1);
    // Typed into the popup and taken over when the user moves to the target.
    Activate(m_popup);
    SetPopupText(IDC_FRAME_EDIT, "30");
    SetPopupText(IDC_OFFSET_EDIT, "10");
    m_target->AddSquare(10, 10, 0xE02020);
    Press(VK_F12, 2);
    m_target->AddSquare(200, 150, 0x20C040);
    Press(VK_F12, 3);
    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Capture"; }));

    ASSERT_EQ(testsupport::LoadKitOffsets(m_dir->Path(), WorkDirOptions{}.capacity),
              WorkDirOptions{}.capacity);
    const auto destination = ReadBytes(m_dir->File("session1\\destinationFLA1.fla"));
    // The first span: 0 - 10 + 30 = 20 frames; then 10 - 10 + 30.
    EXPECT_EQ(Read16(destination, g_offsets.cursor[2][0]), 10);
    EXPECT_EQ(Read16(destination, g_offsets.cursor[3][0]), 10);
    EXPECT_EQ(Read16(destination, g_offsets.cursor[2][1]), 15);
    EXPECT_EQ(Read16(destination, g_offsets.cursor[3][1]), 15);
    EXPECT_EQ(Read16(destination, g_offsets.frame[0]), 30);
    EXPECT_EQ(Read16(destination, g_offsets.frame[1]), 30);
    EXPECT_NE(m_app->Text(IDC_LAST_SESSION).find("frames from 62 till"), std::string::npos);
}

TEST_F(KeyAndPopupTest, InvalidPairsFallBackToThePreviousOne)
{
    SetPopupText(IDC_FRAME_EDIT, "10");
    SetPopupText(IDC_OFFSET_EDIT, "10");
    PressEnterInPopup();
    EXPECT_EQ(PopupText(IDC_FRAME_EDIT), "50");
    EXPECT_EQ(PopupText(IDC_OFFSET_EDIT), "5");

    SetPopupText(IDC_FRAME_EDIT, "");
    PressEnterInPopup();
    EXPECT_EQ(PopupText(IDC_FRAME_EDIT), "50");

    // More than a frame count holds.
    SetPopupText(IDC_FRAME_EDIT, "65536");
    PressEnterInPopup();
    EXPECT_EQ(PopupText(IDC_FRAME_EDIT), "50");
    // Enter leaves the popup open.
    EXPECT_TRUE(::IsWindowVisible(m_popup));
}

TEST_F(KeyAndPopupTest, SpinnedValuesReadBackAsShown)
{
    SetPopupText(IDC_FRAME_EDIT, "999");
    Activate(m_popup);
    ::SendMessageA(m_popup, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(m_popup, IDC_FRAME_EDIT)),
                   TRUE);
    PressKey(CaptureKey{VK_UP});
    ASSERT_TRUE(WaitUntil([&] { return PopupText(IDC_FRAME_EDIT) == "1000"; })) << PopupText(IDC_FRAME_EDIT);
    PressKey(CaptureKey{VK_RETURN});
    Pump(200ms);
    EXPECT_EQ(PopupText(IDC_FRAME_EDIT), "1000");
}

TEST_F(KeyAndPopupTest, ReturnGoesBackToTheLastCapturePointOnlyInASession)
{
    ::SetCursorPos(11, 12);
    ::PostMessageA(m_popup, WM_COMMAND, MAKEWPARAM(IDC_RETURN, BN_CLICKED), 0);
    Pump(300ms);
    POINT cursor;
    ::GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 11);
    EXPECT_EQ(cursor.y, 12);

    ASSERT_NO_FATAL_FAILURE(StartCapture());
    Activate(m_target->Window());
    ::SetCursorPos(150, 130);
    Press(VK_F12, 1);
    ::SetCursorPos(5, 5);
    ::PostMessageA(m_popup, WM_COMMAND, MAKEWPARAM(IDC_RETURN, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] {
        ::GetCursorPos(&cursor);
        return cursor.x == 150 && cursor.y == 130;
    })) << cursor.x
        << "," << cursor.y;
}

TEST_F(KeyAndPopupTest, EscapeHidesThePopupAndPopUpBringsItBack)
{
    SetPopupText(IDC_FRAME_EDIT, "40");
    PressEnterInPopup();
    PressKey(CaptureKey{VK_ESCAPE});
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(m_popup); }));
    m_app->Click(IDC_POPUP);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(m_popup) != FALSE; }));
    EXPECT_EQ(PopupText(IDC_FRAME_EDIT), "40");
    EXPECT_EQ(PopupText(IDC_OFFSET_EDIT), "5");
}

} // namespace
