#include "capture/win32/Session.h"

#include "capture/CaptureState.h"
#include "capture/win32/HookLibrary.h"
#include "capture/win32/TwinHook.h"
#include "state/SessionState.h"
#include "state/win32/SessionWindows.h"

namespace {

// A vanished target has no rectangle; the cursor then stays where it is and the first key press
// ends the session.
void CentreCursorOn(HWND window)
{
    RECT rect;
    if (::GetWindowRect(window, &rect))
        ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

CResult<bool> CreateFolder(const char* path)
{
    if (::CreateDirectoryA(path, nullptr))
        return true;
    // A plain file of that name answers ERROR_ALREADY_EXISTS as well.
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return false;
    return Fail({}, 0, error);
}

} // namespace

CResult<void> StartSession(SessionPlan& plan, HWND target, const CHookLibrary& hooks)
{
    const CResult<void> folder = CreateSessionFolder(plan, CreateFolder);
    ApplySessionPlan(plan);
    if (!folder)
        return folder;
    DeleteStalePictures(plan.sessionDir, [](const char* path) { return ::DeleteFileA(path) != FALSE; });
    if (!::CopyFileA(plan.templatePath, plan.destinationFile, FALSE))
        return Refusal(StartRefusal::TemplateNotCopied, plan.templatePath, ::GetLastError());

    g_sessionWindows.target = target;
    g_sessionWindows.hook.Reset(::SetWindowsHookExA(WH_KEYBOARD, hooks.HookProc(), hooks.Module(), 0));
    if (!g_sessionWindows.hook) {
        // Nothing was captured and no hook runs: the user can try again.
        const DWORD error = ::GetLastError();
        g_sessionWindows.target = nullptr;
        return Refusal(StartRefusal::HookNotInstalled, {}, error);
    }
    // Only the 32-bit twin reaches a 32-bit target.
    if (Is32BitWindow(target)) {
        const CResult<void> twin = StartTwinHook(hooks, target);
        if (!twin) {
            RemoveSessionHooks();
            g_sessionWindows.target = nullptr;
            return twin;
        }
    }
    ::BringWindowToTop(target);
    CentreCursorOn(target);
    return {};
}

bool TargetGone()
{
    return SessionActive() && !::IsWindow(g_sessionWindows.target);
}

void RemoveSessionHooks()
{
    g_sessionWindows.hook.Reset();
    StopTwinHook();
}

void AbandonSession()
{
    RemoveSessionHooks();
    ReleaseComparisonImage();
}

void EndSession()
{
    RemoveSessionHooks();
    g_sessionWindows.target = nullptr;
    ReleaseComparisonImage();
    EndSessionRecords();
}
