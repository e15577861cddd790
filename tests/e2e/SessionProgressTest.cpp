// Every press shows that it was taken: during a session the info area counts the presses and pictures
// so far, in the current language, and after it the report takes its place.
#include "DemoScene.h"
#include "harness/AppFixture.h"
#include "harness/Keyboard.h"
#include "harness/Process.h"

#include "common/File.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

using SessionProgressTest = CAppFixture;

TEST_F(SessionProgressTest, TheInfoAreaCountsEveryPressAndThenShowsTheReport)
{
    m_dir->AddLanguageFile("deutsch.lan");
    ASSERT_NO_FATAL_FAILURE(StartTarget());
    ASSERT_NO_FATAL_FAILURE(StartApp());
    ASSERT_NO_FATAL_FAILURE(StartCapture());
    EXPECT_EQ(m_app->Text(IDC_LAST_SESSION), "0 presses, 0 pictures");

    const auto press = [&](const char* expected) {
        // The pointer in the target's corner, away from the squares, as a person would leave it.
        RECT rect;
        ::GetWindowRect(m_target->Window(), &rect);
        Activate(m_target->Window());
        ::SetCursorPos(rect.left + 30, rect.top + 40);
        PressKey(CaptureKey{VK_F12});
        EXPECT_TRUE(WaitUntil([&] { return m_app->Text(IDC_LAST_SESSION) == expected; }))
            << "shows \"" << m_app->Text(IDC_LAST_SESSION) << "\", not \"" << expected << "\"";
        m_app->WaitForHandlers();
    };
    press("1 press, 1 picture");
    // A press that changed nothing writes nothing, and is counted all the same.
    press("2 presses, 1 picture");
    // Across the corner of four cells of the grid: four pictures.
    m_target->AddSquare(150, 90, 0x20C040);
    press("3 presses, 5 pictures");

    m_app->SelectCombo(IDC_LANGUAGE_LIST, 1);
    EXPECT_TRUE(WaitUntil([&] {
        return m_app->Text(IDC_LAST_SESSION) == "3 Tastendr\xFC"
                                                "cke, 5 Bilder";
    }));
    m_app->SelectCombo(IDC_LANGUAGE_LIST, 0);
    EXPECT_TRUE(WaitUntil([&] { return m_app->Text(IDC_LAST_SESSION) == "3 presses, 5 pictures"; }));

    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Capture"; }));
    EXPECT_EQ(m_app->Text(IDC_LAST_SESSION).rfind("Result dir name - session1.", 0), 0u);

    // A session that writes nothing shows its count, then the earlier report again.
    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_LAST_SESSION) == "0 presses, 0 pictures"; }));
    m_app->Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_CAPTURE) == "Capture"; }));
    EXPECT_EQ(m_app->Text(IDC_LAST_SESSION).rfind("Result dir name - session1.", 0), 0u);
}

} // namespace
