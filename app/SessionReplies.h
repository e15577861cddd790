#pragma once
// The main dialog's answers to what a session's start and its presses came to, decided apart from the
// window that shows them: which box tells the user, and what the dialog does next. The dialog applies
// each reply as it is (CCaptureDlg::ApplyStartRefusal, ApplyPressReply).
#include "capture/PressResult.h"
#include "common/Result.h"
#include "state/Notice.h"

#include <optional>
#include <string>

// What the dialog does about a session that did not start.
enum class AfterRefusal
{
    // Back to the controls of an idle dialog, once the box is closed.
    BackToIdle,
    // The window list is filled anew before the box shows: the selected window is gone.
    RefreshList,
    // The program ends with status 2 once the box is closed: the template could not be copied.
    EndProgram,
};

struct RefusalReply
{
    Notice notice;
    AfterRefusal after = AfterRefusal::BackToIdle;
};

// The reply to a StartRefusal failure. `systemReason` is the system's words for its systemError, which
// only the Windows side can look up.
RefusalReply ReplyToStartRefusal(const Failure& refusal, const char* systemReason);

struct PressReply
{
    // The session ends after this press: the template is full, or the target window is gone.
    bool endsSession = false;
    // What the user is told of the press itself, after the dialog shows its new state.
    std::optional<Notice> notice;
    // Why the session ended, shown last.
    std::optional<Notice> endNotice;
};

PressReply ReplyToPress(const PressResult& press, int templateCapacity);

// The target window is gone: at a press, at Capture, or found by the dialog's watch.
Notice TargetGoneNotice();
