// The capturing key in a 64-bit and in a 32-bit program: the hook library, or its 32-bit twin, captures
// the key the dialog shows and masks Alt, also when the key or the dialog's title changes during the
// session.
#include "DemoScene.h"
#include "harness/AppFixture.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"

#include "common/File.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

constexpr int kF5 = 4; // index in the key list
constexpr uint32_t kRed = 0xE02020;
constexpr char kRenamedTitle[] = "Flickmere - Fensterrekorder";

class KeyInAnyProgramTest : public CAppFixture, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        m_dir->AddLanguageFile("deutsch.lan");
        ASSERT_NO_FATAL_FAILURE(StartTarget(80, 80, true, GetParam()));
        ASSERT_NO_FATAL_FAILURE(StartApp());
        ASSERT_NO_FATAL_FAILURE(StartCapture());
    }

    // A change in the target, then the key events all queued at once; true when the press wrote
    // pictures.
    bool Press(std::vector<INPUT> events)
    {
        const int before = m_dir->Pictures(1);
        m_target->AddSquare(10 + 30 * before, 10, kRed);
        Activate(m_target->Window());
        ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
        const bool written = WaitUntil([&] { return m_dir->Pictures(1) > before; }, 2s);
        m_app->WaitForHandlers();
        return written;
    }
};

TEST_P(KeyInAnyProgramTest, EachPressOfTheKeyShownIsCaptured)
{
    EXPECT_TRUE(Press(KeyChord(VK_F12))) << "F12";

    ASSERT_TRUE(m_app->AssignKey(kF5, false, true, false, "Ctrl+F5"));
    EXPECT_FALSE(Press(KeyChord(VK_F5))) << "F5 alone";
    EXPECT_TRUE(Press(KeyChord(VK_F5, {VK_CONTROL}))) << "Ctrl+F5";

    ASSERT_TRUE(m_app->AssignKey(kF5, false, false, true, "Alt+F5"));
    EXPECT_TRUE(Press(KeyChord(VK_F5, {VK_MENU}))) << "Alt+F5";
    Pump(300ms);
    EXPECT_EQ(m_target->MenuRequests(), 0);

    // Another language renames the dialog; the presses still find it.
    m_app->SelectCombo(IDC_LANGUAGE_LIST, 1);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Title() == kRenamedTitle; }));
    EXPECT_TRUE(Press(KeyChord(VK_F5, {VK_MENU}))) << "Alt+F5 after the dialog was renamed";
}

// Without its helper nothing could be captured in a 32-bit program: the session does not start, and
// the box says why, rather than a session that records nothing.
using KeyInA32BitProgramTest = CAppFixture;

TEST_F(KeyInA32BitProgramTest, NoSessionStartsWithoutTheHelper)
{
    m_dir->Remove("FlickmereHook32.exe");
    ASSERT_NO_FATAL_FAILURE(StartTarget(80, 80, false, true));
    ASSERT_NO_FATAL_FAILURE(StartApp());
    EXPECT_FALSE(m_app->StartCapture(kDemoTitle));
    const auto box = m_app->WaitForMessageBox(5s);
    ASSERT_TRUE(box);
    m_app->CloseMessageBox(*box);
    m_app->WaitForHandlers();
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Capture");
    EXPECT_EQ(m_app->Text(IDC_CAPTURED_WINDOW), "None");
}

INSTANTIATE_TEST_SUITE_P(Bitness, KeyInAnyProgramTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "ThirtyTwoBitTarget" : "SixtyFourBitTarget";
                         });

} // namespace
