#pragma once
#include "common/win32/Handles.h"
#include "hook/HookDll.h"

// The window side of the session state. The target window is non-null exactly while a session is
// active; the hook is installed for the same time, and the 32-bit helper that installs the hook's twin
// runs for the same time where it could be started. The session's start and end (capture/win32/Session)
// set and clear all three.
struct SessionWindows
{
    HWND target = nullptr;
    CHook hook;
    CKernelHandle twinHelper;
    // The helper's thread, which takes the key and name changes.
    DWORD twinHelperThread = 0;
};

extern SessionWindows g_sessionWindows;

inline bool SessionActive()
{
    return g_sessionWindows.target != nullptr;
}

// The private message the hook library posts for each press of the capturing key: wParam and lParam
// are the cursor's screen x and y. In a dialog this number is also DM_SETDEFID (see HookDll.h).
constexpr UINT WM_CAPTURE_KEY = HOOKDLL_CAPTURE_MESSAGE;
