// What the main dialog answers when a session does not start, and after each press: the box, its
// caption, icon and owner, and what the dialog does next.
#include "ProgramState.h"
#include "app/SessionReplies.h"
#include "capture/SessionLifecycle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class SessionRepliesTest : public testsupport::CProgramTest
{
protected:
    void SetUp() override
    {
        CProgramTest::SetUp();
        RefreshCurrentTexts(0);
    }
};

constexpr char kFolder[] = "C:\\work\\session4";
constexpr char kReason[] = "Access is denied.";

TEST_F(SessionRepliesTest, EachStartRefusalHasItsBoxAndWhatFollows)
{
    const struct
    {
        StartRefusal refusal;
        const char* text;
        const char* caption;
        NoticeIcon icon;
        bool owned;
        AfterRefusal after;
    } cases[] = {
        {StartRefusal::TargetGone, "Target window is not found", "HWND Problem", NoticeIcon::None, true,
         AfterRefusal::RefreshList},
        {StartRefusal::NoSessionNumber,
         "No new session folder can be made: a session folder here already has the largest number there can "
         "be (session2147483647).\nMove or rename that folder, then press Capture again.",
         "Error!", NoticeIcon::Error, true, AfterRefusal::BackToIdle},
        // The failure's text is the whole message.
        {StartRefusal::RecordOutsideTemplate, kFolder, "Error!", NoticeIcon::Error, true,
         AfterRefusal::BackToIdle},
        {StartRefusal::FolderNotCreated,
         "Can't create the session folder C:\\work\\session4:\nAccess is denied.", "Error!",
         NoticeIcon::Error, true, AfterRefusal::BackToIdle},
        {StartRefusal::TemplateNotCopied, "Can't open template file: C:\\work\\session4\n", "Error!",
         NoticeIcon::Error, true, AfterRefusal::EndProgram},
        // The system's words alone, in a box without owner.
        {StartRefusal::HookNotInstalled, kReason, "Error!", NoticeIcon::Information, false,
         AfterRefusal::BackToIdle},
        {StartRefusal::TwinMissing,
         "FlickmereHook32.exe is missing: it must be beside Flickmere.exe to record a 32-bit program.",
         "Error!", NoticeIcon::Error, true, AfterRefusal::BackToIdle},
        {StartRefusal::TwinNotStarted,
         "FlickmereHook32.exe, which records 32-bit programs, could not be started:\nAccess is denied.",
         "Error!", NoticeIcon::Error, true, AfterRefusal::BackToIdle},
        {StartRefusal::TwinNoLibrary,
         "FlickmereHook32.exe could not load HookDll32.dll: it must be beside Flickmere.exe to record a "
         "32-bit "
         "program.",
         "Error!", NoticeIcon::Error, true, AfterRefusal::BackToIdle},
        {StartRefusal::TwinNoDialog,
         "FlickmereHook32.exe could not find Flickmere's window, so it could not record this 32-bit program.",
         "Error!", NoticeIcon::Error, true, AfterRefusal::BackToIdle},
        {StartRefusal::TwinNoHook,
         "The keyboard hook could not be installed in this 32-bit program. If the program runs as "
         "administrator, run Flickmere as administrator too.",
         "Error!", NoticeIcon::Error, true, AfterRefusal::BackToIdle},
        {StartRefusal::TwinNotReady, "FlickmereHook32.exe did not get ready to record this 32-bit program.",
         "Error!", NoticeIcon::Error, true, AfterRefusal::BackToIdle},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const RefusalReply reply = ReplyToStartRefusal(Refusal(c.refusal, kFolder, 5), kReason);
        EXPECT_STREQ(reply.notice.text, c.text);
        EXPECT_STREQ(reply.notice.caption, c.caption);
        EXPECT_EQ(reply.notice.icon, c.icon);
        EXPECT_EQ(reply.notice.owned, c.owned);
        EXPECT_FALSE(reply.notice.utf8);
        EXPECT_EQ(reply.after, c.after);
    }
}

// A language's words reach every start-up refusal's box, and its arguments still land in their places.
TEST_F(SessionRepliesTest, RefusalsSpeakTheCurrentLanguage)
{
    std::strcpy(g_texts.currentTexts[kTextError], "Fehler!");
    std::strcpy(g_texts.currentTexts[kTextFolderNotCreated], "Ordner %s: %s");
    const RefusalReply reply =
        ReplyToStartRefusal(Refusal(StartRefusal::FolderNotCreated, kFolder, 5), kReason);
    EXPECT_STREQ(reply.notice.text, "Ordner C:\\work\\session4: Access is denied.");
    EXPECT_STREQ(reply.notice.caption, "Fehler!");
}

PressResult Press(int written, PressProblem problem = PressProblem::None)
{
    PressResult press;
    press.targetGone = false;
    press.picturesWritten = written;
    press.problem = problem;
    return press;
}

TEST_F(SessionRepliesTest, EachPressHasItsBoxesAndEndsTheSessionOnlyWhenItMust)
{
    PressResult gone;
    PressResult unwrittenOne = Press(4, PressProblem::PicturesNotWritten);
    unwrittenOne.unwritten = {{3}, 1};
    PressResult unwrittenTwo = Press(10, PressProblem::PicturesNotWritten);
    unwrittenTwo.unwritten = {{8, 10}, 2};
    const char kGrabFailed[] =
        "Could not take the window's picture: Windows is short of graphics resources.\n"
        "Nothing was saved for this key press; the session goes on.";
    const struct
    {
        const char* name;
        PressResult press;
        bool ends;
        const char* notice; // text, caption: "" for none
        const char* noticeCaption;
        NoticeIcon noticeIcon;
        const char* endNotice;
        const char* endCaption;
    } cases[] = {
        {"goes on", Press(9), false, "", "", NoticeIcon::None, "", ""},
        {"nothing written yet", Press(0), false, "", "", NoticeIcon::None, "", ""},
        // The template's last slot ends the session even as the window vanishes; gone alone means gone.
        {"last slot", Press(10), true, "", "", NoticeIcon::None, "Template is full", "Template is full"},
        {"beyond the last slot", Press(11), true, "", "", NoticeIcon::None, "Template is full",
         "Template is full"},
        {"gone", gone, true, "", "", NoticeIcon::None, "Target window is not found", "HWND Problem"},
        {"grab failed", Press(2, PressProblem::GrabFailed), false, kGrabFailed, "Warning",
         NoticeIcon::Warning, "", ""},
        {"not visible", Press(2, PressProblem::WindowNotVisible), false, "Check if the window is visible!",
         "Warning", NoticeIcon::Warning, "", ""},
        {"one unwritten", unwrittenOne, false,
         "Could not write imageBMP3.bmp: out of memory, or the disk is full.\nThe session goes on without "
         "it.",
         "Error!", NoticeIcon::Error, "", ""},
        // The press's own box comes before the one that says why the session ended.
        {"unwritten at the last slot", unwrittenTwo, true,
         "Could not write imageBMP8.bmp, imageBMP10.bmp: out of memory, or the disk is full.\n"
         "The session goes on without them.",
         "Error!", NoticeIcon::Error, "Template is full", "Template is full"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PressReply reply = ReplyToPress(c.press, 10);
        EXPECT_EQ(reply.endsSession, c.ends);
        ASSERT_EQ(reply.notice.has_value(), *c.notice != '\0');
        if (reply.notice) {
            EXPECT_STREQ(reply.notice->text, c.notice);
            EXPECT_STREQ(reply.notice->caption, c.noticeCaption);
            EXPECT_EQ(reply.notice->icon, c.noticeIcon);
            // No owner: the dialog keeps taking presses behind a press's box.
            EXPECT_FALSE(reply.notice->owned);
        }
        ASSERT_EQ(reply.endNotice.has_value(), *c.endNotice != '\0');
        if (reply.endNotice) {
            EXPECT_STREQ(reply.endNotice->text, c.endNotice);
            EXPECT_STREQ(reply.endNotice->caption, c.endCaption);
            EXPECT_TRUE(reply.endNotice->owned);
        }
    }
}

} // namespace
