// The main dialog's side of a session: Capture starts and ends it, each press of the capturing key
// runs the capture step, and the controls and boxes show what came of it.
#include "app/win32/CaptureDlg.h"

#include "app/win32/WindowList.h"
#include "capture/SessionLifecycle.h"
#include "capture/SessionReport.h"
#include "capture/win32/Session.h"
#include "capture/win32/WindowCapture.h"
#include "common/SessionNames.h"
#include "common/TextFormat.h"
#include "common/win32/DirectoryListing.h"
#include "output/FatalOutput.h"
#include "output/OffsetTables.h"
#include "output/TemplatePatcher.h"
#include "state/SessionState.h"
#include "state/TextTable.h"
#include "state/WorkingDirectory.h"
#include "state/win32/SessionWindows.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

constexpr int kMessageBytes = 260;

// session<N>\session<N>.steps.json of the plan, from the session folder's path in the ANSI code page.
std::filesystem::path StepsFile(const SessionPlan& plan)
{
    const int length = ::MultiByteToWideChar(CP_ACP, 0, plan.sessionDir, -1, nullptr, 0);
    std::wstring folder(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, plan.sessionDir, -1, folder.data(), length);
    folder.resize(folder.size() - 1); // the terminating null
    return std::filesystem::path(folder) / StepsFileName(plan.sessionNumber);
}
// While a session runs, the target window is looked for this often, so that closing it ends the
// session within about a second.
constexpr UINT_PTR kTargetWatchTimer = 1;
constexpr UINT kTargetWatchMilliseconds = 250;

const char kNoSessionNumberMessage[] =
    "No new session folder can be made: a session folder here already has the largest number there can "
    "be (session2147483647).\nMove or rename that folder, then press Capture again.";

// The system's words for `error`, or its number when the system has none.
std::string SystemErrorText(DWORD error)
{
    char* text = nullptr;
    ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    CLocalMemory owned(text);
    if (text)
        return text;
    char fallback[64];
    FormatText(fallback, sizeof fallback, "Error %u", {static_cast<int32_t>(error)});
    return fallback;
}

// The error GetLastError holds, in a box without owner.
void ReportHookFailure()
{
    ::MessageBoxA(nullptr, SystemErrorText(::GetLastError()).c_str(), CurrentText(kTextError),
                  MB_OK | MB_ICONINFORMATION);
}

// Why the hook's twin is not in the 32-bit target; for a helper that could not be started, with the
// system's reason that GetLastError holds.
std::string TwinHookFailureText(TwinHookStart twin)
{
    const std::string reason = SystemErrorText(::GetLastError());
    struct TwinFailureText
    {
        TwinHookStart twin;
        TextId text;
    };
    static const TwinFailureText kTexts[] = {
        {TwinHookStart::HelperMissing, kTextTwinMissing},
        {TwinHookStart::HelperNotStarted, kTextTwinNotStarted},
        {TwinHookStart::LibraryNotLoaded, kTextTwinNoLibrary},
        {TwinHookStart::DialogNotFound, kTextTwinNoDialog},
        {TwinHookStart::HookNotInstalled, kTextTwinNoHook},
    };
    TextId id = kTextTwinNotReady;
    for (const TwinFailureText& t : kTexts)
        if (t.twin == twin)
            id = t.text;
    char message[2 * kMessageBytes];
    FormatText(message, sizeof message, CurrentText(id), {reason.c_str()});
    return message;
}

// A capture step's notice, in a box without owner: the dialog is not disabled behind it.
void ShowCaptureNotice(const std::optional<CaptureNotice>& notice)
{
    if (notice)
        ::MessageBoxA(nullptr, notice->text, notice->caption, MB_OK | notice->icon);
}

} // namespace

void CCaptureDlg::ShowError(const char* message, UINT icon) const
{
    ::MessageBoxA(Handle(), message, CurrentText(kTextError), MB_OK | icon);
}

void CCaptureDlg::ShowStepsFailure(const CResult<void>& written) const
{
    if (written)
        return;
    char message[2 * kMessageBytes];
    FormatText(message, sizeof message, CurrentText(kTextStepsNotWritten), {written.Error().text.c_str()});
    // No owner, like a capture step's notice: the dialog is not disabled behind it.
    ::MessageBoxA(nullptr, message, CurrentText(kTextError), MB_OK | MB_ICONWARNING);
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
    if (!::IsWindow(target)) {
        // Closed since the list was filled: nothing is created, and the list shows what is there now.
        OnRefresh();
        ShowTargetGone();
        return;
    }
    SessionPlan plan = PlanSession(ListDirectory("*.*"));
    if (!plan.numbered) {
        // Nothing has been created or deleted, and the dialog is still idle.
        ShowError(kNoSessionNumberMessage);
        return;
    }
    char refusal[kMessageBytes];
    if (!TemplateHoldsEveryRecord(plan.templatePath, refusal, sizeof refusal)) {
        ShowError(refusal);
        return;
    }
    ShowSessionStarting();
    const std::string title = windows.Text(selection);

    TwinHookStart twin = TwinHookStart::Started;
    switch (StartSession(plan, target, m_hooks, twin)) {
    case SessionStart::TemplateNotCopied: {
        char message[kMessageBytes];
        FormatText(message, sizeof message, CurrentText(kTextCantOpenTemplate), {plan.templatePath});
        ShowError(message, MB_ICONHAND);
        std::exit(kFatalExitStatus);
    }
    case SessionStart::NoSessionNumber:
        ShowError(kNoSessionNumberMessage);
        ShowSessionIdle();
        break;
    case SessionStart::FolderNotCreated: {
        const std::string reason = SystemErrorText(::GetLastError());
        char message[2 * kMessageBytes];
        FormatText(message, sizeof message, "Can't create the session folder %s:\n%s",
                   {plan.sessionDir, reason.c_str()});
        ShowError(message);
        ShowSessionIdle();
        break;
    }
    case SessionStart::HookNotInstalled:
        ReportHookFailure();
        ShowSessionIdle();
        break;
    case SessionStart::TwinHookNotStarted:
        ShowError(TwinHookFailureText(twin).c_str());
        ShowSessionIdle();
        break;
    case SessionStart::Started:
        m_steps.Start(Handle(), target, StepsFile(plan), m_hooks);
        ShowSessionActive(title.c_str());
        ShowSessionProgress();
        ::SetTimer(Handle(), kTargetWatchTimer, kTargetWatchMilliseconds, nullptr);
        break;
    }
}

LRESULT CCaptureDlg::OnCaptureMessage(int x, int y)
{
    const int firstPicture = g_session.imageCounter;
    const CaptureStep step = CaptureTargetWindow(x, y);
    if (step.written >= 0)
        m_steps.RecordPress(x, y, firstPicture, g_session.imageCounter);
    const std::optional<CaptureNotice> notice = NoticeOf(step);
    // Each box comes after every change of state of the press: a box runs a message loop, in which the
    // next capture may already be handled.
    switch (JudgeCapture(step.written, TemplateCapacity())) {
    case CaptureVerdict::TemplateFull:
        EndSessionAndShow();
        ShowCaptureNotice(notice);
        ::MessageBoxA(Handle(), CurrentText(kTextTemplateFull), CurrentText(kTextTemplateFull), MB_OK);
        return 1;
    case CaptureVerdict::TargetLost:
        // Also for a message queued before the session ended, while no session is active.
        ShowTargetGone();
        return 1;
    case CaptureVerdict::Continue:
        break;
    }
    // Every press shows that it was taken, also one that changed nothing.
    if (SessionActive())
        ShowSessionProgress();
    ShowCaptureNotice(notice);
    return step.written;
}

void CCaptureDlg::ShowSessionStarting()
{
    SetItemText(IDC_CAPTURE, "Please Wait");
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
    ::MessageBoxA(Handle(), CurrentText(kTextTargetNotFound), "HWND Problem", MB_OK);
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
