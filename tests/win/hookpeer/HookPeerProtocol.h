#pragma once
// What flickmere_hookpeer.exe and HookDllTest.cpp tell each other. The peer is started as
//   flickmere_hookpeer.exe key                       -> exit code = EncodeCaptureKey(GETCAPTUREKEY)
//   flickmere_hookpeer.exe window <hwnd> [peek]      -> a foreground window reporting keys to <hwnd>
// In "peek" mode the peer looks at every message with PeekMessage(PM_NOREMOVE) before taking it, as
// some applications' message loops do, so the hook also runs with HC_NOREMOVE.
#include <windows.h>

namespace hookpeer {

// wParam: the peer's window, once it is the foreground window.
constexpr UINT kReadyMessage = WM_APP + 1;
// wParam: virtual key, lParam: key data, for each WM_KEYDOWN or WM_SYSKEYDOWN the peer's window got.
constexpr UINT kKeyMessage = WM_APP + 2;

constexpr DWORD kFailed = 0xFFFF;

constexpr DWORD EncodeCaptureKey(int virtualKey, bool shift, bool ctrl, bool alt)
{
    return static_cast<DWORD>(virtualKey & 0xFF) | (shift ? 0x100u : 0u) | (ctrl ? 0x200u : 0u) |
           (alt ? 0x400u : 0u);
}

} // namespace hookpeer
