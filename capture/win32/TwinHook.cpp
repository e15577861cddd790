#include "capture/win32/TwinHook.h"

#include "capture/SessionLifecycle.h"
#include "capture/win32/HookLibrary.h"
#include "common/TextFormat.h"
#include "hook/TwinHelperProtocol.h"
#include "state/win32/SessionWindows.h"

namespace {

// The helper is idle as soon as its hook is installed; a cold start under load can take seconds.
constexpr DWORD kReadyTimeoutMs = 10000;
constexpr DWORD kQuitTimeoutMs = 3000;

bool HelperPath(char* path, DWORD size)
{
    const DWORD length = ::GetModuleFileNameA(nullptr, path, size);
    if (length == 0 || length >= size)
        return false;
    char* folderEnd = path + length;
    while (folderEnd > path && folderEnd[-1] != '\\' && folderEnd[-1] != '/')
        --folderEnd;
    const size_t room = size - static_cast<size_t>(folderEnd - path);
    return CopyText(folderEnd, room, HOOKDLL_TWIN_HELPER_FILE);
}

// Why a helper that ended before it was ready did so.
StartRefusal EndedHelper(HANDLE helper)
{
    DWORD status = 0;
    if (!::GetExitCodeProcess(helper, &status))
        return StartRefusal::TwinNotReady;
    switch (status) {
    case kTwinNoLibrary:
        return StartRefusal::TwinNoLibrary;
    case kTwinNoDialog:
        return StartRefusal::TwinNoDialog;
    case kTwinNoHook:
        return StartRefusal::TwinNoHook;
    default:
        return StartRefusal::TwinNotReady;
    }
}

} // namespace

CResult<void> StartTwinHook(const CHookLibrary& hooks, HWND target)
{
    char path[MAX_PATH];
    if (!HelperPath(path, sizeof path))
        return Refusal(StartRefusal::TwinNotStarted, {}, ERROR_FILENAME_EXCED_RANGE);
    char commandLine[MAX_PATH + 64];
    // Window handles have 32 significant bits, so that 32-bit and 64-bit programs can share them.
    FormatText(commandLine, sizeof commandLine, "\"%s\" %u %u %u",
               {path, static_cast<int32_t>(reinterpret_cast<UINT_PTR>(hooks.Dialog())),
                static_cast<int32_t>(PackKey(hooks.CurrentCaptureKey())),
                static_cast<int32_t>(::GetWindowThreadProcessId(target, nullptr))});
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        const DWORD error = ::GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return Refusal(missing ? StartRefusal::TwinMissing : StartRefusal::TwinNotStarted, {}, error);
    }
    // Only the process is waited for; its thread's handle goes when this returns.
    const CKernelHandle thread(started.hThread);
    g_sessionWindows.twinHelper.Reset(started.hProcess);
    g_sessionWindows.twinHelperThread = started.dwThreadId;
    if (::WaitForInputIdle(started.hProcess, kReadyTimeoutMs) != 0 ||
        ::WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0) {
        // Told while the process handle is still held; a helper still running was not ready in time.
        const StartRefusal refusal = ::WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0
                                         ? EndedHelper(started.hProcess)
                                         : StartRefusal::TwinNotReady;
        StopTwinHook();
        return Refusal(refusal);
    }
    return {};
}

void StopTwinHook()
{
    if (!g_sessionWindows.twinHelper)
        return;
    const HANDLE helper = g_sessionWindows.twinHelper.Get();
    ::PostThreadMessageA(g_sessionWindows.twinHelperThread, WM_QUIT, 0, 0);
    if (::WaitForSingleObject(helper, kQuitTimeoutMs) != WAIT_OBJECT_0)
        ::TerminateProcess(helper, 1);
    g_sessionWindows.twinHelper.Reset();
    g_sessionWindows.twinHelperThread = 0;
}

void TellTwinHook(UINT message, WPARAM wParam)
{
    if (g_sessionWindows.twinHelper)
        ::PostThreadMessageA(g_sessionWindows.twinHelperThread, message, wParam, 0);
}

bool Is32BitWindow(HWND window)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    CKernelHandle handle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    BOOL wow64 = FALSE;
    return handle && ::IsWow64Process(handle.Get(), &wow64) && wow64;
}
