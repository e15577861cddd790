#pragma once
// What flickmere_hookpeer.exe and the hook tests (HookTestSupport.h) tell each other. The peer is started as
//   flickmere_hookpeer.exe key                       -> exit code = PackKey(GETCAPTUREKEY's key)
//   flickmere_hookpeer.exe window <hwnd> [peek]      -> a foreground window reporting keys to <hwnd>
// In "peek" mode the peer looks at every message with PeekMessage(PM_NOREMOVE) before taking it, as
// some applications' message loops do, so the hook also runs with HC_NOREMOVE.
#include <windows.h>

namespace hookpeer {

// wParam: the peer's window, once it is the foreground window.
constexpr UINT kReadyMessage = WM_APP + 1;
// wParam: virtual key, for each WM_KEYDOWN or WM_SYSKEYDOWN the peer's window got; lParam: 1 while its
// thread is still DPI unaware, as it made itself at the start, else 0 (the hook must leave the thread
// of the application it runs in as it found it).
constexpr UINT kKeyMessage = WM_APP + 2;

constexpr DWORD kFailed = 0xFFFF;

// The title of the peer's window.
constexpr const char* kWindowTitle = "Flickmere hook peer";

} // namespace hookpeer
