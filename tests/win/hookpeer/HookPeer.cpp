// The second process of the hook tests: it loads HookDll.dll itself to read the shared capturing key,
// or shows the window that the test's key presses go to, so the hook procedure runs inside it.
#include "common/CaptureKey.h"
#include "common/win32/DynamicCalls.h"
#include "common/win32/Handles.h"
#include "hook/HookDll.h"
#include "tests/win/hookpeer/HookPeerProtocol.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A peer left behind by a failed test must not stay around until the wineserver is killed.
constexpr UINT kLifetimeMs = 30000;

HWND g_report = nullptr;

std::string BesideThisExe(const char* fileName)
{
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + fileName;
}

int ReportCaptureKey()
{
    const CModule dll(::LoadLibraryA(BesideThisExe("HookDll.dll").c_str()));
    auto get = dll ? ProcAddressAs<PFN_GETCAPTUREKEY>(dll.Get(), "GETCAPTUREKEY") : nullptr;
    if (!get)
        return hookpeer::kFailed;
    CaptureKey key{0, true, true, true};
    get(&key.vk, &key.shift, &key.ctrl, &key.alt);
    return static_cast<int>(PackKey(key));
}

bool StillUnaware()
{
    return ::AreDpiAwarenessContextsEqual(::GetThreadDpiAwarenessContext(), DPI_AWARENESS_CONTEXT_UNAWARE) !=
           FALSE;
}

LRESULT CALLBACK PeerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        ::PostMessageA(g_report, hookpeer::kKeyMessage, wParam, StillUnaware() ? 1 : 0);
        return 0;
    case WM_SYSKEYUP:
        // DefWindowProc would enter menu mode on a lone Alt release, and the swallowed Alt+F1 in
        // between looks like exactly that to this window.
        return 0;
    case WM_CLOSE:
        // Leaves the window to die with the process: under Wine without a window manager, destroying
        // the active window waits two seconds for a withdrawal that never comes.
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

int ShowWindowAndReportKeys(HWND report, bool peekFirst)
{
    g_report = report;
    // Like an application that knows nothing of DPI, in which the hook must still read the cursor in
    // physical pixels.
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PeerWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FlickmereHookPeer";
    ::RegisterClassA(&windowClass);
    HWND window =
        ::CreateWindowExA(0, windowClass.lpszClassName, hookpeer::kWindowTitle, WS_POPUP | WS_VISIBLE, 40, 40,
                          200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return hookpeer::kFailed;
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    ::PostMessageA(report, hookpeer::kReadyMessage, reinterpret_cast<WPARAM>(window), 0);
    ::SetTimer(nullptr, 0, kLifetimeMs, nullptr);

    MSG message;
    for (;;) {
        if (peekFirst) {
            while (!::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
                ::WaitMessage();
        }
        if (::GetMessageA(&message, nullptr, 0, 0) <= 0)
            break;
        if (message.message == WM_TIMER && message.hwnd == nullptr)
            break;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    const char* mode = std::strtok(commandLine, " ");
    if (mode && std::strcmp(mode, "key") == 0)
        return ReportCaptureKey();
    if (mode && std::strcmp(mode, "window") == 0) {
        const char* report = std::strtok(nullptr, " ");
        const char* option = std::strtok(nullptr, " ");
        if (!report)
            return hookpeer::kFailed;
        HWND reportWindow = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(report, nullptr, 10)));
        return ShowWindowAndReportKeys(reportWindow, option && std::strcmp(option, "peek") == 0);
    }
    return hookpeer::kFailed;
}
