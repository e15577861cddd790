#include "capture/win32/Session.h"

#include "common/TextFormat.h"
#include "state/TextTable.h"
#include "state/WorkingDirectory.h"
#include "common/win32/DirectoryListing.h"
#include "capture/CaptureState.h"
#include "capture/SessionNumber.h"
#include "capture/SessionReport.h"
#include "state/SessionState.h"
#include "capture/win32/HookLibrary.h"
#include "state/win32/SessionWindows.h"
#include "capture/win32/WindowCapture.h"
#include "output/FatalOutput.h"
#include "output/OffsetTables.h"
#include "res/resource.h"

#include <cstdlib>

namespace {

constexpr int kMessageBytes = 260;

const char kNoSessionNumberMessage[] =
    "No new session folder can be made: a session folder here already has the largest number there can "
    "be (session2147483647).\nMove or rename that folder, then press Capture again.";

void EnableSessionControls(HWND dialog, bool enable)
{
    ::EnableWindow(::GetDlgItem(dialog, IDC_WINDOW_LIST), enable);
    ::EnableWindow(::GetDlgItem(dialog, IDC_REFRESH), enable);
}

void SetCaptureButton(HWND dialog, const char* caption, bool enable)
{
    const HWND button = ::GetDlgItem(dialog, IDC_CAPTURE);
    ::SetWindowTextA(button, caption);
    ::EnableWindow(button, enable);
}

// Deletes imageBMP1.bmp, imageBMP2.bmp, ... of an earlier session of the same number, up to the first
// number that is missing.
void DeleteStalePictures(const char* sessionDir)
{
    char name[kPathBytes];
    for (int k = 1; FormatText(name, sizeof name, "%s/imageBMP%d.bmp", {sessionDir, k}); ++k)
        if (!::DeleteFileA(name))
            break;
}

[[noreturn]] void FailTemplateCopy(HWND dialog, const char* templatePath)
{
    char message[kMessageBytes];
    FormatText(message, sizeof message, CurrentText(kTextCantOpenTemplate), {templatePath});
    ::MessageBoxA(dialog, message, CurrentText(kTextError), MB_OK | MB_ICONHAND);
    std::exit(kFatalExitStatus);
}

void ReportHookFailure()
{
    const DWORD error = ::GetLastError();
    char* text = nullptr;
    ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text),
                     0, nullptr);
    CLocalMemory owned(text);
    char fallback[64];
    if (!text)
        FormatText(fallback, sizeof fallback, "Error %u", {static_cast<int32_t>(error)});
    ::MessageBoxA(nullptr, text ? text : fallback, CurrentText(kTextError), MB_OK | MB_ICONINFORMATION);
}

} // namespace

void StartSession(HWND dialog, const CHookLibrary& hooks)
{
    if (ScanSessionNumber(ListDirectory("*.*")) == kNoSessionNumber) {
        // Nothing has been created or deleted yet, and the dialog is still idle.
        ::MessageBoxA(dialog, kNoSessionNumberMessage, CurrentText(kTextError), MB_OK | MB_ICONERROR);
        return;
    }
    g_session.frameTotal = 1;

    char sessionDir[kPathBytes];
    char templatePath[kPathBytes];
    const bool dirFits = FormatText(sessionDir, sizeof sessionDir, "%s/%s%d",
                                    {g_workDir, "session", g_session.sessionNumber});
    const bool templateFits = FormatText(templatePath, sizeof templatePath, "%s/template.fla", {g_workDir});
    // A path cut short could name some other file; such a session cannot be made, like a failed copy.
    const bool destinationFits =
        dirFits && FormatText(g_session.destinationFile, sizeof g_session.destinationFile, "%s/%s%d.fla",
                              {sessionDir, "destinationFLA", g_session.sessionNumber});
    if (dirFits) {
        ::CreateDirectoryA(sessionDir, nullptr);
        DeleteStalePictures(sessionDir);
    }

    SetCaptureButton(dialog, "Please Wait", false);
    EnableSessionControls(dialog, false);
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));

    if (!templateFits || !destinationFits ||
        !::CopyFileA(templatePath, g_session.destinationFile, FALSE))
        FailTemplateCopy(dialog, templatePath);

    const HWND list = ::GetDlgItem(dialog, IDC_WINDOW_LIST);
    const LRESULT selection = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    g_sessionWindows.target = reinterpret_cast<HWND>(::SendMessageA(list, LB_GETITEMDATA, selection, 0));
    char title[256] = "";
    if (::SendMessageA(list, LB_GETTEXTLEN, selection, 0) < static_cast<LRESULT>(sizeof title))
        ::SendMessageA(list, LB_GETTEXT, selection, reinterpret_cast<LPARAM>(title));
    ::SetDlgItemTextA(dialog, IDC_CAPTURED_WINDOW, title);

    g_sessionWindows.hook.Reset(::SetWindowsHookExA(WH_KEYBOARD, hooks.HookProc(), hooks.Module(), 0));
    if (!g_sessionWindows.hook) {
        ReportHookFailure();
        // Back to idle, so that the user can try again: nothing was captured and no hook runs.
        g_sessionWindows.target = nullptr;
        SetCaptureButton(dialog, CurrentText(kTextCapture), true);
        ::SetDlgItemTextA(dialog, IDC_CAPTURED_WINDOW, CurrentText(kTextNone));
        EnableSessionControls(dialog, true);
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
        return;
    }

    SetCaptureButton(dialog, CurrentText(kTextUncapture), true);
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ::BringWindowToTop(g_sessionWindows.target);
    RECT rect;
    // A target that vanished since the list was filled has no rectangle; the cursor then stays where
    // it is and the first key press ends the session.
    if (::GetWindowRect(g_sessionWindows.target, &rect))
        ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void EndSession(HWND dialog)
{
    g_sessionWindows.hook.Reset();
    SetCaptureButton(dialog, CurrentText(kTextCapture), true);
    ::SetDlgItemTextA(dialog, IDC_CAPTURED_WINDOW, CurrentText(kTextNone));
    EnableSessionControls(dialog, true);
    ReleaseComparisonImage();
    if (g_session.imageCounter != 1) {
        RecordSessionReport();
        char report[kMessageBytes];
        FormatSessionReport(report, sizeof report, CurrentText(kTextReport));
        ::SetDlgItemTextA(dialog, IDC_LAST_SESSION, report);
    }
    g_session.imageCounter = 1;
    g_sessionWindows.target = nullptr;
    g_session.patcherSteps = 0;
    g_session.previousOffset = 0;
    g_session.lastCaptureX = 0;
    g_session.lastCaptureY = 0;
}

LRESULT OnCaptureMessage(HWND dialog, WPARAM x, LPARAM y)
{
    const int written = CaptureTargetWindow(static_cast<int>(x), static_cast<int>(y));
    if (written >= TemplateCapacity()) {
        EndSession(dialog);
        ::MessageBoxA(dialog, CurrentText(kTextTemplateFull), CurrentText(kTextTemplateFull), MB_OK);
        return 1;
    }
    if (written == -1) {
        if (SessionActive())
            EndSession(dialog);
        ::MessageBoxA(dialog, CurrentText(kTextTargetNotFound), "HWND Problem", MB_OK);
        return 1;
    }
    return written;
}
