// Start-up as a user meets it: each missing piece stops the program with its own box before the
// dialog shows; a complete working directory shows the dialog in English or in a chosen language.
#include "harness/AppFixture.h"
#include "harness/Process.h"
#include "harness/WindowSearch.h"
#include "harness/WorkDir.h"

#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

struct StartupFailure
{
    const char* name;
    std::function<void(CWorkDir&)> spoil;
    const char* text;
    BoxIcon icon;
};

const StartupFailure kFailures[] = {
    {"bmpoffs missing",
     [](CWorkDir& d) {
         d.Remove("bmpoffs.ini");
         d.Remove("curoffs.ini");
     },
     "Can't open INI file: bmpoffs.ini!", BoxIcon::Error},
    {"bmpoffs empty", [](CWorkDir& d) { d.Write("bmpoffs.ini", "\r\n"); }, "INI file: bmpoffs.ini is empty!",
     BoxIcon::Error},
    {"curoffs missing", [](CWorkDir& d) { d.Remove("curoffs.ini"); }, "Can't open INI file: curoffs.ini!",
     BoxIcon::Error},
    {"frmoffs missing", [](CWorkDir& d) { d.Remove("frmoffs.ini"); }, "Can't open INI file: frmoffs.ini!",
     BoxIcon::Error},
    {"HookDll missing", [](CWorkDir& d) { d.Remove("HookDll.dll"); }, "Can't load HookDll.dll.",
     BoxIcon::Warning},
};

using StartupTest = CAppFixture;

// Each case in a working directory of its own.
TEST_F(StartupTest, EachMissingPieceEndsTheProgramWithItsBox)
{
    for (const StartupFailure& failure : kFailures) {
        SCOPED_TRACE(failure.name);
        CWorkDir dir;
        failure.spoil(dir);
        CApp app(dir.Path());
        const auto box = app.WaitForMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, failure.text);
        EXPECT_EQ(box->caption, "Error!");
        EXPECT_EQ(box->icon, failure.icon);
        // The dialog never appears, before or after the box: searched for until the program has ended.
        EXPECT_EQ(app.WaitForDialog(0ms), nullptr);
        app.CloseMessageBox(*box);
        bool dialogShown = false;
        WaitUntil([&] {
            dialogShown = dialogShown || app.WaitForDialog(0ms) != nullptr;
            return dialogShown || !app.Running();
        });
        EXPECT_FALSE(dialogShown) << "the dialog appeared after the box";
        EXPECT_TRUE(app.WaitForExit());
    }
}

TEST_F(StartupTest, EmptyCursorAndFrameFilesDoNotStopStartup)
{
    m_dir->Write("curoffs.ini", "");
    m_dir->Write("frmoffs.ini", "");
    ASSERT_NO_FATAL_FAILURE(StartApp());
}

TEST_F(StartupTest, GoodStartShowsTheDialogInEnglish)
{
    ASSERT_NO_FATAL_FAILURE(StartApp());
    EXPECT_EQ(m_app->Title(), "Flickmere");
    EXPECT_EQ(m_app->ListItems(IDC_KEY_LIST),
              (std::vector<std::string>{"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11",
                                        "F12"}));
    EXPECT_EQ(m_app->ListSelection(IDC_KEY_LIST), 11);
    EXPECT_EQ(m_app->Text(IDC_CURRENT_KEY), "F12");
    EXPECT_FALSE(m_app->Enabled(IDC_CAPTURE));
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Capture");
    EXPECT_EQ(m_app->Text(IDC_ASSIGN_KEY), "Assign Key");
    EXPECT_EQ(m_app->Text(IDC_GROUP_WINDOWS), "Select an application to be captured");
    EXPECT_EQ(m_app->Text(IDC_CAPTURED_WINDOW), "None");
    EXPECT_EQ(m_app->ComboItems(IDC_LANGUAGE_LIST), (std::vector<std::string>{"english"}));
    ASSERT_TRUE(m_app->Popup());
    EXPECT_TRUE(::IsWindowVisible(m_app->Popup()));
    EXPECT_EQ(WindowText(m_app->Popup()), "Flickmere PopUp Window");

    // The Help and About buttons share the language list's width with a 10-pixel gap.
    RECT list, help, about;
    ::GetWindowRect(m_app->Control(IDC_LANGUAGE_LIST), &list);
    ::GetWindowRect(m_app->Control(IDC_HELP_BUTTON), &help);
    ::GetWindowRect(m_app->Control(IDC_ABOUT_BUTTON), &about);
    const int half = (list.right - list.left) / 2;
    EXPECT_EQ(help.right - help.left, half - 5);
    EXPECT_EQ(about.left, list.left + half + 5);
    EXPECT_EQ(about.top, help.top);

    // Each label stands at the left edge of what it labels, the two of the info area one under the
    // other, and the last key of the list has room below it.
    const auto rect = [&](int id) {
        RECT r;
        ::GetWindowRect(m_app->Control(id), &r);
        return r;
    };
    EXPECT_EQ(rect(IDC_CURRENT_KEY_LABEL).left, rect(IDC_CURRENT_KEY).left);
    EXPECT_LT(rect(IDC_CURRENT_KEY_LABEL).top, rect(IDC_CURRENT_KEY).top);
    EXPECT_EQ(rect(IDC_LAST_SESSION_LABEL).left, rect(IDC_CAPTURED_LABEL).left);
    EXPECT_EQ(rect(IDC_LAST_SESSION_LABEL).top, rect(IDC_LAST_SESSION).top);
    RECT keys;
    ::GetClientRect(m_app->Control(IDC_KEY_LIST), &keys);
    const LRESULT row = ::SendMessageA(m_app->Control(IDC_KEY_LIST), LB_GETITEMHEIGHT, 0, 0);
    const LRESULT rows = ::SendMessageA(m_app->Control(IDC_KEY_LIST), LB_GETCOUNT, 0, 0);
    EXPECT_GE(keys.bottom - rows * row, 4) << "the F12 row touches the bottom of the key list";
}

TEST_F(StartupTest, HelpAndAboutFollowTheLanguage)
{
    m_dir->AddLanguageFile("deutsch.lan");
    ASSERT_NO_FATAL_FAILURE(StartApp());

    m_app->Click(IDC_HELP_BUTTON);
    auto box = m_app->WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Instruction");
    EXPECT_EQ(box->text.substr(0, 32), "1. Select window to be captured.");
    m_app->CloseMessageBox(*box);

    m_app->SelectCombo(IDC_LANGUAGE_LIST, 1);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Title() == "Flickmere - Fensterrekorder"; }));
    m_app->Click(IDC_ABOUT_BUTTON);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        about = ::FindWindowA("#32770", "About");
        return about != nullptr && ::IsWindowVisible(about);
    }));
    // Centred on the main dialog, not at its top-left corner.
    RECT aboutRect, dialog;
    ::GetWindowRect(about, &aboutRect);
    ::GetWindowRect(m_app->Dialog(), &dialog);
    EXPECT_NEAR(aboutRect.left + aboutRect.right, dialog.left + dialog.right, 2);
    EXPECT_NEAR(aboutRect.top + aboutRect.bottom, dialog.top + dialog.bottom, 2);
    EXPECT_EQ(WindowText(::GetDlgItem(about, IDC_ABOUT_TEXT)).substr(0, 10), "Flickmere\n");
    EXPECT_NE(WindowText(::GetDlgItem(about, IDC_ABOUT_TEXT)).find("Nimmt ein Fenster"), std::string::npos);
    ::PostMessageA(about, WM_COMMAND, IDOK, 0);
    // Once the box is gone the dialog it was opened from is active again, not the next window in line
    // (the popup here; on Windows often another program's).
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
    EXPECT_EQ(::GetForegroundWindow(), m_app->Dialog()) << "active: " << WindowText(::GetForegroundWindow());
}

TEST_F(StartupTest, ChoosingALanguageRelabelsDialogAndPopup)
{
    m_dir->AddLanguageFile("deutsch.lan");
    ASSERT_NO_FATAL_FAILURE(StartApp());
    ASSERT_EQ(m_app->ComboItems(IDC_LANGUAGE_LIST), (std::vector<std::string>{"english", "deutsch"}));

    m_app->SelectCombo(IDC_LANGUAGE_LIST, 1);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Text(IDC_REFRESH) == "Aktualisieren"; }));
    EXPECT_EQ(m_app->Title(), "Flickmere - Fensterrekorder");
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Aufnehmen");
    EXPECT_EQ(m_app->Text(IDC_CAPTURED_WINDOW), "Keines");
    EXPECT_EQ(m_app->Text(IDC_HELP_BUTTON), "Hilfe");
    // The modifiers and the key field are never translated.
    EXPECT_EQ(m_app->Text(IDC_SHIFT), "Shift");
    EXPECT_EQ(m_app->Text(IDC_CURRENT_KEY), "F12");
    EXPECT_EQ(WindowText(::GetDlgItem(m_app->Popup(), IDC_OFFSET_LABEL)), "Versatz:");
    EXPECT_EQ(WindowText(::GetDlgItem(m_app->Popup(), IDC_RETURN)), "Zur\xFC"
                                                                    "ck");
    m_app->SelectCombo(IDC_LANGUAGE_LIST, 0);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Title() == "Flickmere"; }));
    EXPECT_EQ(m_app->Text(IDC_REFRESH), "Refresh");
}

} // namespace
