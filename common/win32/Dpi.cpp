#include "common/win32/Dpi.h"

#include "common/win32/DynamicCalls.h"
#include "common/win32/Handles.h"

int WindowDpi(HWND window)
{
    static const dyncall::GetDpiForWindowFn getDpiForWindow = dyncall::GetDpiForWindow();
    if (getDpiForWindow)
        return static_cast<int>(getDpiForWindow(window));
    const CWindowDc screen = CWindowDc::FromGetDC(nullptr);
    return screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : kDefaultDpi;
}

int ScaleForWindow(HWND window, int pixels)
{
    return ::MulDiv(pixels, WindowDpi(window), kDefaultDpi);
}
