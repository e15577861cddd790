#pragma once
// HookDll.dll: the global keyboard hook that tells Flickmere's main dialog when the capturing key is
// pressed in any application. The program loads the DLL, names its dialog with SETWINDOWNAME, picks the
// key with SETCAPTUREKEY and installs the hook procedure with
// SetWindowsHookExA(WH_KEYBOARD, GetProcAddress(dll, HOOKDLL_HOOK_PROC_EXPORT), dll, 0).
// Each press then posts HOOKDLL_CAPTURE_MESSAGE to the dialog, wParam = x and lParam = y of the cursor in
// screen coordinates (as signed ints: monitors left of or above the primary one give negative values),
// in physical pixels whatever the DPI awareness of the application the key was pressed in. The dialog
// is the top-level window with the given name in the process that called SETWINDOWNAME. The key is F12
// without modifiers until SETCAPTUREKEY picks another; the first SETWINDOWNAME of each process puts it
// back to F12, as the shared data may still hold the key of an earlier run.
#include <windows.h>

#ifndef __cplusplus
#include <stdbool.h>
#endif

// WM_USER+1 is also DM_SETDEFID in a dialog ("make button wParam the default"): left to the dialog
// manager, a press at x would make control x the default button. So the dialog handles this message
// itself, always, and the program never sends it DM_SETDEFID. The number cannot change: it is the
// library's interface, and a library of an earlier run may still be loaded in other processes (see
// SETWINDOWNAME above), posting the number it was built with.
#define HOOKDLL_CAPTURE_MESSAGE (WM_USER + 1)
// A chord pressed in the process SETRECORDEDPROCESS named, for the steps file: wParam and lParam as
// PackKey (common/CaptureKey.h) and the character. Only chords with Ctrl or Alt that type nothing.
#define HOOKDLL_CHORD_MESSAGE (WM_APP + 0x10)
// The longest window name the DLL keeps, as long as the program's longest text; a longer name is cut
// to this length.
#define HOOKDLL_MAX_WINDOW_NAME 499

// The hook procedure's export name predates 64-bit Windows; it carries no decoration there, but the
// name itself still has the 32-bit stdcall form, so it is only reachable through GetProcAddress.
#define HOOKDLL_HOOK_PROC_EXPORT "_SPYGETF12PROC@12"

#ifdef __cplusplus
extern "C" {
#endif

// The library's interface, fixed: Shift, ctrl and alt are one-byte booleans, the modifier must be down
// (true) or up (false). Inside the program a key is a CaptureKey (common/CaptureKey.h); the library keeps
// it packed, so a key code is below 256, as every virtual-key code is.
typedef void(WINAPI* PFN_SETCAPTUREKEY)(int virtualKey, bool shift, bool ctrl, bool alt);
typedef void(WINAPI* PFN_GETCAPTUREKEY)(int* virtualKey, bool* shift, bool* ctrl, bool* alt);
typedef void(WINAPI* PFN_SETWINDOWNAME)(const char* windowName);
// The process whose chords are reported, 0 for none.
typedef void(WINAPI* PFN_SETRECORDEDPROCESS)(DWORD process);

void WINAPI SETCAPTUREKEY(int virtualKey, bool shift, bool ctrl, bool alt);
void WINAPI GETCAPTUREKEY(int* virtualKey, bool* shift, bool* ctrl, bool* alt);
void WINAPI SETWINDOWNAME(const char* windowName);
void WINAPI SETRECORDEDPROCESS(DWORD process);

// The 32-bit twin, HookDll32.dll, has the exports above and this fifth one: its helper names the
// dialog of another process, Flickmere's. The 64-bit library does not export it.
#define HOOKDLL_TWIN_FILE "HookDll32.dll"
typedef void(WINAPI* PFN_SETWINDOWNAMEOF)(const char* windowName, DWORD process);
void WINAPI SETWINDOWNAMEOF(const char* windowName, DWORD process);

#ifdef __cplusplus
}
#endif
