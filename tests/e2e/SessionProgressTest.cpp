// Every press shows that it was taken: during a session the info area counts the presses and pictures
// so far, in the current language, and after it the report takes its place.
#include "DemoScene.h"
#include "Driver.h"

#include "common/File.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

TEST(SessionProgressTest, TheInfoAreaCountsEveryPressAndThenShowsTheReport)
{
    CWorkDir dir;
    ::CopyFileA((BinDir() + "\\deutsch.lan").c_str(), dir.File("deutsch.lan").c_str(), FALSE);
    CDemoTarget target(60, 60);
    ASSERT_TRUE(target.Window());
    CApp app(dir.Path());
    ASSERT_TRUE(app.WaitForDialog());
    ASSERT_TRUE(app.SelectListEntry(IDC_WINDOW_LIST, kDemoTitle));
    ASSERT_TRUE(WaitUntil([&] { return app.Enabled(IDC_CAPTURE); }));
    app.Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_CAPTURE) == "Uncapture"; }));
    EXPECT_EQ(app.Text(IDC_LAST_SESSION), "0 presses, 0 pictures");

    const auto press = [&](const char* expected) {
        // The pointer in the target's corner, away from the squares, as a person would leave it.
        RECT rect;
        ::GetWindowRect(target.Window(), &rect);
        Activate(target.Window());
        ::SetCursorPos(rect.left + 30, rect.top + 40);
        PressKey(VK_F12);
        EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_LAST_SESSION) == expected; }))
            << "shows \"" << app.Text(IDC_LAST_SESSION) << "\", not \"" << expected << "\"";
        app.WaitForHandlers();
    };
    press("1 press, 1 picture");
    // A press that changed nothing writes nothing, and is counted all the same.
    press("2 presses, 1 picture");
    // Across the corner of four cells of the grid: four pictures.
    target.AddSquare(150, 90, 0x20C040);
    press("3 presses, 5 pictures");

    app.SelectCombo(IDC_LANGUAGE_LIST, 1);
    EXPECT_TRUE(WaitUntil([&] {
        return app.Text(IDC_LAST_SESSION) == "3 Tastendr\xFC"
                                             "cke, 5 Bilder";
    }));
    app.SelectCombo(IDC_LANGUAGE_LIST, 0);
    EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_LAST_SESSION) == "3 presses, 5 pictures"; }));

    app.Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_CAPTURE) == "Capture"; }));
    EXPECT_EQ(app.Text(IDC_LAST_SESSION).rfind("Result dir name - session1.", 0), 0u);

    // A session that writes nothing shows its count, then the earlier report again.
    app.Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_LAST_SESSION) == "0 presses, 0 pictures"; }));
    app.Click(IDC_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_CAPTURE) == "Capture"; }));
    EXPECT_EQ(app.Text(IDC_LAST_SESSION).rfind("Result dir name - session1.", 0), 0u);
}

} // namespace
