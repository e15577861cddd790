#include "harness/AppFixture.h"

#include "harness/Keyboard.h"

#include "DemoScene.h"
#include "common/File.h"
#include "res/resource.h"

namespace e2e {

void CAppFixture::Start(const WorkDirOptions& options, int left, int top)
{
    m_dir = std::make_unique<CWorkDir>(options);
    ASSERT_NO_FATAL_FAILURE(StartTarget(left, top));
    ASSERT_NO_FATAL_FAILURE(StartApp());
}

void CAppFixture::StartTarget(int left, int top, bool menuBar, bool thirtyTwoBit)
{
    m_target = std::make_unique<CDemoTarget>(left, top, menuBar, thirtyTwoBit);
    ASSERT_TRUE(m_target->Window());
}

void CAppFixture::StartApp()
{
    m_app = std::make_unique<CApp>(m_dir->Path());
    ASSERT_TRUE(m_app->WaitForDialog());
}

void CAppFixture::SelectTarget()
{
    ASSERT_TRUE(m_app->SelectWindow(kDemoTitle)) << "the demo target cannot be chosen";
}

void CAppFixture::StartCapture()
{
    ASSERT_TRUE(m_app->StartCapture(kDemoTitle)) << "no session started on the demo target";
}

void CAppFixture::ExpectIdle() const
{
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Capture");
    EXPECT_TRUE(m_app->Enabled(IDC_CAPTURE));
    EXPECT_TRUE(m_app->Enabled(IDC_WINDOW_LIST));
    EXPECT_TRUE(m_app->Enabled(IDC_REFRESH));
}

void CAppFixture::Press(const CaptureKey& key, int expectPicture)
{
    PressInTarget(std::nullopt, key, expectPicture);
}

void CAppFixture::Press(POINT cursor, int expectPicture)
{
    PressInTarget(cursor, CaptureKey{VK_F12}, expectPicture);
}

void CAppFixture::PressInTarget(std::optional<POINT> cursor, const CaptureKey& key, int expectPicture)
{
    Activate(m_target->Window());
    if (cursor)
        ::SetCursorPos(cursor->x, cursor->y);
    PressKey(key);
    if (expectPicture > 0)
        ASSERT_TRUE(WaitUntil([&] { return FileExists(PicturePath(expectPicture)); }))
            << "picture " << expectPicture << " was not written";
    else
        Pump(1s);
    m_app->WaitForHandlers();
}

} // namespace e2e
