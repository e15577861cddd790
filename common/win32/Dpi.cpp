#include "common/win32/Dpi.h"

#include "common/win32/Handles.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

GetDpiForWindowFunction ResolveGetDpiForWindow()
{
    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<GetDpiForWindowFunction>(
                        reinterpret_cast<void (*)()>(::GetProcAddress(user32, "GetDpiForWindow")))
                  : nullptr;
}

} // namespace

int WindowDpi(HWND window)
{
    static const GetDpiForWindowFunction getDpiForWindow = ResolveGetDpiForWindow();
    if (getDpiForWindow)
        return static_cast<int>(getDpiForWindow(window));
    const CWindowDc screen = CWindowDc::FromGetDC(nullptr);
    return screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : kDefaultDpi;
}

int ScaleForWindow(HWND window, int pixels)
{
    return ::MulDiv(pixels, WindowDpi(window), kDefaultDpi);
}
