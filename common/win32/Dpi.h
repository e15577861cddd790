#pragma once
#include <windows.h>

constexpr int kDefaultDpi = 96;

// The dots per inch of the monitor the window is on, asked for at every call: a window moves between
// monitors. GetDpiForWindow exists from Windows 10 1607 on, and is looked up once; before that every
// monitor has the system's.
int WindowDpi(HWND window);

// `pixels` at 96 dots per inch, scaled for the window's monitor.
int ScaleForWindow(HWND window, int pixels);
