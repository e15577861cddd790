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

#include <functional>
#include <string>

namespace {

using namespace e2e;

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

    ASSERT_TRUE(m_app->AssignKey({VK_F5, true}, "Ctrl+F5"));
    EXPECT_FALSE(Press(KeyChord(VK_F5))) << "F5 alone";
    EXPECT_TRUE(Press(KeyChord(VK_F5, {VK_CONTROL}))) << "Ctrl+F5";

    ASSERT_TRUE(m_app->AssignKey({VK_F5, false, true}, "Alt+F5"));
    EXPECT_TRUE(Press(KeyChord(VK_F5, {VK_MENU}))) << "Alt+F5";
    Pump(300ms);
    EXPECT_EQ(m_target->MenuRequests(), 0);

    // Another language renames the dialog; the presses still find it.
    m_app->SelectCombo(IDC_LANGUAGE_LIST, 1);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Title() == kRenamedTitle; }));
    EXPECT_TRUE(Press(KeyChord(VK_F5, {VK_MENU}))) << "Alt+F5 after the dialog was renamed";
}

// Without its helper nothing could be captured in a 32-bit program: the session does not start, and the
// box names the reason, rather than a session that records nothing.
using KeyInA32BitProgramTest = CAppFixture;

TEST_F(KeyInA32BitProgramTest, NoSessionStartsWithoutTheTwinAndTheBoxSaysWhy)
{
    struct Case
    {
        const char* name;
        std::function<void(CWorkDir&)> spoil;
        const char* text;
    };
    // The helper's own refusals come as its exit status, given here by a stand-in.
    const auto helperEndingWith = [](int status) {
        return [status](CWorkDir& dir) {
            ::CopyFileA((BinDir() + "\\flickmere_faketwin.exe").c_str(),
                        dir.File("FlickmereHook32.exe").c_str(), FALSE);
            dir.Write("twin-status.txt", std::to_string(status));
        };
    };
    const Case cases[] = {
        {"helper missing", [](CWorkDir& dir) { dir.Remove("FlickmereHook32.exe"); },
         "FlickmereHook32.exe is missing: it must be beside Flickmere.exe to record a 32-bit program."},
        {"twin library missing", [](CWorkDir& dir) { dir.Remove("HookDll32.dll"); },
         "FlickmereHook32.exe could not load HookDll32.dll: it must be beside Flickmere.exe to record a "
         "32-bit "
         "program."},
        {"dialog not found", helperEndingWith(2),
         "FlickmereHook32.exe could not find Flickmere's window, so it could not record this 32-bit "
         "program."},
        {"hook refused", helperEndingWith(4),
         "The keyboard hook could not be installed in this 32-bit program. If the program runs as "
         "administrator, run Flickmere as administrator too."},
    };
    ASSERT_NO_FATAL_FAILURE(StartTarget(80, 80, false, true));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWorkDir dir;
        c.spoil(dir);
        CApp app(dir.Path());
        ASSERT_TRUE(app.WaitForDialog());
        ASSERT_TRUE(app.SelectWindow(kDemoTitle));
        app.Click(IDC_CAPTURE);
        const auto box = app.WaitForMessageBox(15s);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, c.text);
        EXPECT_EQ(box->caption, "Error!");
        app.CloseMessageBox(*box);
        app.WaitForHandlers();
        EXPECT_EQ(app.Text(IDC_CAPTURE), "Capture");
        EXPECT_EQ(app.Text(IDC_CAPTURED_WINDOW), "None");
    }
}

INSTANTIATE_TEST_SUITE_P(Bitness, KeyInAnyProgramTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "ThirtyTwoBitTarget" : "SixtyFourBitTarget";
                         });

} // namespace
