#pragma once
#include "common/win32/Handles.h"
#include "hook/HookDll.h"

// The window side of the session state. The target window is non-null exactly while a session is
// active; the hook is installed for the same time. The session's start and end (capture/win32/Session)
// set and clear both.
struct SessionWindows
{
    HWND target = nullptr;
    CHook hook;
};

extern SessionWindows g_sessionWindows;

inline bool SessionActive()
{
    return g_sessionWindows.target != nullptr;
}

// The private message the hook library posts for each press of the capturing key: wParam and lParam
// are the cursor's screen x and y.
constexpr UINT WM_CAPTURE_KEY = HOOKDLL_CAPTURE_MESSAGE;
