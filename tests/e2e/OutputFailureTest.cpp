// Output failures stay consistent: a template kit whose offsets point past the template is refused at
// session start, and nothing runs behind the box of a failure that ends the program.
#include "DemoScene.h"
#include "harness/AppFixture.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"
#include "harness/WindowSearch.h"

#include "common/File.h"
#include "common/win32/Handles.h"
#include "hook/HookDll.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

// The program starts in each case, once the case has changed its working directory.
class OutputFailureTest : public CAppFixture
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(StartTarget()); }

    void StartAppOnTarget()
    {
        ASSERT_NO_FATAL_FAILURE(StartApp());
        ASSERT_NO_FATAL_FAILURE(SelectTarget());
    }
};

TEST_F(OutputFailureTest, AnOffsetPastTheTemplateIsRefusedBeforeAnythingIsCreated)
{
    std::vector<uint8_t> frames;
    ASSERT_TRUE(ReadWholeFile(m_dir->File("frmoffs.ini").c_str(), frames));
    m_dir->Write("frmoffs.ini", "2000000000;\n" + std::string(frames.begin(), frames.end()));
    ASSERT_NO_FATAL_FAILURE(StartAppOnTarget());
    m_app->Click(IDC_CAPTURE);
    const auto box = m_app->WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text.substr(0, 54), "Row 1 of frmoffs.ini points outside template.fla, whic");
    EXPECT_EQ(box->caption, "Error!");
    EXPECT_EQ(box->icon, BoxIcon::Error);
    m_app->CloseMessageBox(*box);
    ExpectIdle();
    EXPECT_FALSE(FileExists(m_dir->File("session1")));
}

TEST_F(OutputFailureTest, NoCaptureStepRunsBehindTheBoxThatEndsTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(StartApp());
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    const std::string destination = m_dir->File("session1\\destinationFLA1.fla");
    const std::string picture = m_dir->File("session1\\imageBMP1.bmp");
    // Held without sharing, the destination file cannot be opened for the patches.
    const CFileHandle held(
        ::CreateFileA(destination.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    Activate(m_target->Window());
    PressKey(CaptureKey{VK_F12});
    const auto box = m_app->WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, "Can't open template file: " + m_dir->Path() + "/session1/destinationFLA1.fla\n");
    EXPECT_EQ(::GetWindow(box->window, GW_OWNER), m_app->Dialog());

    // Presses already queued, and new ones: none may write into the session the box ends.
    ASSERT_TRUE(::DeleteFileA(picture.c_str()));
    const POINT centre{100, 100};
    for (int i = 0; i < 3; ++i)
        ::PostMessageA(m_app->Dialog(), HOOKDLL_CAPTURE_MESSAGE, centre.x, centre.y);
    Activate(m_target->Window());
    PressKey(CaptureKey{VK_F12});
    Pump(1500ms);
    // A capture step behind the box would write picture 1 again before failing like the first.
    EXPECT_FALSE(FileExists(picture));

    m_app->CloseMessageBox(*box);
    EXPECT_EQ(m_app->WaitForExit(), 2u);
}

} // namespace
