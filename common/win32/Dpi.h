#pragma once
#include <windows.h>

constexpr int kDefaultDpi = 96;

// The dots per inch of the monitor the window is on. GetDpiForWindow exists from Windows 10 1607 on;
// before that every monitor has the system's. Which of the two applies is found out once.
int WindowDpi(HWND window);

// `pixels` at 96 dots per inch, scaled for the window's monitor.
int ScaleForWindow(HWND window, int pixels);
