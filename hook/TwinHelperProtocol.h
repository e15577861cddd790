#pragma once
// What Flickmere tells FlickmereHook32.exe, the 32-bit helper that installs HookDll32.dll on a 32-bit
// program's thread for the length of a session. Flickmere starts it from its own folder as
//   FlickmereHook32.exe <main dialog's window handle> <capturing key, PackKey> <thread to hook>
// and waits until it is idle: its hook is then in place. Later it posts to the helper's thread:
//   kTwinSetKey, wParam = PackKey(key)         the user assigned another key
//   kTwinRename                                 the dialog has a new title (another language)
//   kTwinRecord, wParam = process id            report that process's chords (0: none)
//   WM_QUIT                                     the session is over: remove the hook and end
// The helper also ends when the dialog's process does. While its hook is in place it holds a mutex
// named TwinMarkName(thread): see TakesPress in HookDll.cpp. When it ends before it is idle, its exit
// status says why, and Flickmere names that reason in its box.
#include "common/CaptureKey.h"

#include <windows.h>

#define HOOKDLL_TWIN_HELPER_FILE "FlickmereHook32.exe"

enum TwinExitStatus : DWORD
{
    kTwinEnded = 0,
    kTwinBadArguments = 1,
    // The dialog's process could not be opened: the helper could not tell when Flickmere ends.
    kTwinNoDialog = 2,
    // HookDll32.dll or one of its exports is missing.
    kTwinNoLibrary = 3,
    // SetWindowsHookEx refused the recorded program's thread.
    kTwinNoHook = 4,
};

constexpr UINT kTwinSetKey = WM_APP + 1;
constexpr UINT kTwinRename = WM_APP + 2;
constexpr UINT kTwinRecord = WM_APP + 3;

constexpr int kTwinMarkBytes = 48;

// "Local\\Flickmere.Twin.<thread>": the helper and Flickmere run in one logon session.
inline void TwinMarkName(DWORD thread, char (&name)[kTwinMarkBytes])
{
    ::wsprintfA(name, "Local\\Flickmere.Twin.%lu", static_cast<unsigned long>(thread));
}
