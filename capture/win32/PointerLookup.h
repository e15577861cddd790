#pragma once
// Finding out what is under the pointer, for the steps file. What the press itself reads sends no
// message to any window, so a program that hangs cannot slow the press; the lookup proper (MSAA, UI
// Automation where it is registered, and the windows' own messages) runs on the lookup worker, whose
// thread has COM in its multithreaded apartment.
#include "capture/PointedControl.h"

#include <windows.h>

#include <objbase.h>

// What the press reads: the window under `point` and its class, style and rectangle, the title of the
// window it belongs to, and where the grabs of `target` start on the screen.
struct PressView
{
    PointedWindow window;
    HWND under = nullptr;
    HWND root = nullptr; // the top-level window `under` belongs to
};
PressView ViewAtPress(POINT point, HWND target);

// The lookup of a press's point, to be called on a thread with COM initialised, never on a window's
// thread: an MSAA call waits as long as the program under the pointer is busy.
class CPointerLookup
{
public:
    CPointerLookup() = default;
    ~CPointerLookup();
    CPointerLookup(const CPointerLookup&) = delete;
    CPointerLookup& operator=(const CPointerLookup&) = delete;

    PointerFacts LookUp(POINT point, const PressView& view);

private:
    bool AskMsaa(POINT point, AccessibleAnswer& answer) const;
    bool AskUiAutomation(POINT point, AccessibleAnswer& answer);

    // UI Automation's client object, made on first need; `m_noUiAutomation` once it cannot be made.
    IUnknown* m_uiAutomation = nullptr;
    bool m_noUiAutomation = false;
};

// What the window under the pointer tells through its own messages, each with a time-out: a button's
// or a label's text and check, the list box item under the point, the top-level window's hit test off
// its client area. No edit field is ever asked for its text.
WindowAnswer AskWindow(POINT point, const PressView& view);
