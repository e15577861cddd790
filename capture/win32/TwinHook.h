#pragma once
// The 32-bit twin of the keyboard hook, for the length of a session on a 32-bit program:
// FlickmereHook32.exe from the program's folder installs HookDll32.dll on the recorded window's thread
// (hook/TwinHelper.cpp says why that thread only). The helper's process and thread are kept in
// g_sessionWindows.
#include "common/Result.h"

#include <windows.h>

class CHookLibrary;

// Starts the helper for the library's dialog and key, hooking the thread of `target`, and waits until
// its hook is in place. Otherwise a StartRefusal (capture/SessionLifecycle.h) says why: the helper is
// missing, the system refused to start it (with its error), the helper's own refusals that its exit
// status tells (hook/TwinHelperProtocol.h), or it ended for another reason or was not ready in time.
[[nodiscard]] CResult<void> StartTwinHook(const CHookLibrary& hooks, HWND target);

// Asks the helper to remove its hook and end, and waits for it a while; ends it otherwise.
void StopTwinHook();

// Forwards a change to a running helper: kTwinSetKey or kTwinRename of hook/TwinHelperProtocol.h.
void TellTwinHook(UINT message, WPARAM wParam);

// True when `window` belongs to a 32-bit program on 64-bit Windows, which only the twin can hook.
bool Is32BitWindow(HWND window);
