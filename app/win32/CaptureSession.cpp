// The main dialog's side of a session: Capture starts and ends it, each press of the capturing key
// runs the capture step, and the controls and boxes show what came of it.
#include "app/win32/CaptureDlg.h"

#include "app/SessionReplies.h"
#include "capture/SessionLifecycle.h"
#include "capture/SessionReport.h"
#include "capture/win32/Session.h"
#include "capture/win32/WindowCapture.h"
#include "common/SessionNames.h"
#include "common/TextFormat.h"
#include "common/win32/CodePages.h"
#include "common/win32/DirectoryListing.h"
#include "output/FatalOutput.h"
#include "output/OffsetTables.h"
#include "output/TemplatePatcher.h"
#include "state/SessionState.h"
#include "state/TextTable.h"
#include "state/WorkingDirectory.h"
#include "state/win32/NoticeBox.h"
#include "state/win32/SessionWindows.h"
#include "state/win32/SystemError.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kMessageBytes = 260;

// session<N>\session<N>.steps.json of the plan, from the session folder's path in the ANSI code page.
std::filesystem::path StepsFile(const SessionPlan& plan)
{
    return std::filesystem::path(WideFromCodePage(CP_ACP, plan.sessionDir)) /
           StepsFileName(plan.sessionNumber);
}

// While a session runs, the target window is looked for this often, so that closing it ends the
// session within about a second.
constexpr UINT_PTR kTargetWatchTimer = 1;
constexpr UINT kTargetWatchMilliseconds = 250;

// Why the plan cannot be started before anything is made: the selected window is gone, no number is
// left, or an offset file points outside the template.
CResult<void> CheckPlan(HWND target, const SessionPlan& plan)
{
    if (!::IsWindow(target))
        return Refusal(StartRefusal::TargetGone);
    if (!plan.numbered)
        return Refusal(StartRefusal::NoSessionNumber);
    if (const CResult<> holds = TemplateHoldsEveryRecord(plan.templatePath); !holds)
        return Refusal(StartRefusal::RecordOutsideTemplate, holds.Error().text.c_str());
    return {};
}

} // namespace

void CCaptureDlg::ShowStepsFailure(const CResult<void>& written) const
{
    if (!written)
        ShowNotice(Handle(), NoticeOf(kTextStepsNotWritten, {written.Error().text.c_str()},
                                      CurrentText(kTextError), NoticeIcon::Warning, false));
}

void CCaptureDlg::OnCaptureButton()
{
    if (SessionActive()) {
        EndSessionAndShow();
        return;
    }
    const CListBox windows = WindowList();
    const int selection = windows.CurrentSelection();
    const HWND target = reinterpret_cast<HWND>(windows.ItemData(selection));
    SessionPlan plan = PlanSession(ListDirectory("*.*"));
    // Nothing has been created or deleted when the plan is refused, and the dialog is still idle.
    const CResult<void> planned = CheckPlan(target, plan);
    if (!planned) {
        ApplyStartRefusal(planned.Error());
        return;
    }
    ShowSessionStarting();
    const std::string title = windows.Text(selection);
    const CResult<void> started = StartSession(plan, target, m_hooks);
    if (!started) {
        ApplyStartRefusal(started.Error());
        return;
    }
    m_steps.Start(Handle(), target, StepsFile(plan), m_hooks);
    ShowSessionActive(title.c_str());
    ShowSessionProgress();
    ::SetTimer(Handle(), kTargetWatchTimer, kTargetWatchMilliseconds, nullptr);
}

void CCaptureDlg::ApplyStartRefusal(const Failure& refusal)
{
    const RefusalReply reply = ReplyToStartRefusal(refusal, SystemErrorText(refusal.systemError).c_str());
    if (reply.after == AfterRefusal::RefreshList)
        OnRefresh();
    ShowNotice(Handle(), reply.notice);
    switch (reply.after) {
    case AfterRefusal::EndProgram:
        std::exit(kFatalExitStatus);
    case AfterRefusal::BackToIdle:
        ShowSessionIdle();
        break;
    case AfterRefusal::RefreshList:
        break;
    }
}

LRESULT CCaptureDlg::OnCaptureMessage(int x, int y)
{
    const int firstPicture = g_session.imageCounter;
    const PressResult press = CaptureTargetWindow(x, y);
    if (!press.targetGone)
        m_steps.RecordPress(x, y, firstPicture, g_session.imageCounter);
    const PressReply reply = ReplyToPress(press, TemplateCapacity());
    ApplyPressReply(reply);
    // Read by nobody.
    return reply.endsSession ? 1 : press.picturesWritten;
}

void CCaptureDlg::ApplyPressReply(const PressReply& reply)
{
    // Every press shows that it was taken, also one that changed nothing. The boxes come after every
    // change of state of the press: a box runs a message loop, in which the next capture may already be
    // handled. A press queued before the session ended finds none active.
    if (reply.endsSession && SessionActive())
        EndSessionAndShow();
    else if (SessionActive())
        ShowSessionProgress();
    if (reply.notice)
        ShowNotice(Handle(), *reply.notice);
    if (reply.endNotice)
        ShowNotice(Handle(), *reply.endNotice);
}

void CCaptureDlg::ShowSessionStarting()
{
    SetItemText(IDC_CAPTURE, kFixedPleaseWait);
    EnableItem(IDC_CAPTURE, false);
    EnableItem(IDC_WINDOW_LIST, false);
    EnableItem(IDC_REFRESH, false);
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

void CCaptureDlg::ShowSessionActive(const char* targetTitle)
{
    SetItemText(IDC_CAPTURED_WINDOW, targetTitle);
    SetItemText(IDC_CAPTURE, CurrentText(kTextUncapture));
    EnableItem(IDC_CAPTURE, true);
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

void CCaptureDlg::ShowSessionIdle()
{
    SetItemText(IDC_CAPTURE, CurrentText(kTextCapture));
    EnableItem(IDC_CAPTURE, true);
    SetItemText(IDC_CAPTURED_WINDOW, CurrentText(kTextNone));
    EnableItem(IDC_WINDOW_LIST, true);
    EnableItem(IDC_REFRESH, true);
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

bool CCaptureDlg::OnTimer(UINT_PTR timerId)
{
    if (timerId != kTargetWatchTimer)
        return false;
    if (TargetGone() && !FatalOutputPending())
        ShowTargetGone();
    return true;
}

void CCaptureDlg::ShowTargetGone()
{
    if (SessionActive())
        EndSessionAndShow();
    ShowNotice(Handle(), TargetGoneNotice());
}

void CCaptureDlg::EndSessionAndShow()
{
    ::KillTimer(Handle(), kTargetWatchTimer);
    const bool wrotePictures = g_session.imageCounter != 1;
    m_steps.End(m_hooks);
    EndSession();
    if (wrotePictures)
        ExportSession(g_session.sessionNumber);
    ShowSessionIdle();
    ShowLastSession();
}

void CCaptureDlg::ShowLastSession()
{
    // A session that wrote no picture leaves the earlier report, or none.
    char text[kMessageBytes] = "";
    if (g_session.reportPresent)
        FormatSessionReport(text, sizeof text, CurrentText(kTextReport));
    SetItemText(IDC_LAST_SESSION, text);
}

void CCaptureDlg::ShowSessionProgress()
{
    char text[kMessageBytes];
    FormatSessionProgress(text, sizeof text);
    SetItemText(IDC_LAST_SESSION, text);
}
