#include "app/win32/WindowList.h"

namespace {

BOOL CALLBACK AddWindow(HWND window, LPARAM context)
{
    if (!::IsWindowVisible(window))
        return TRUE;
    char title[256];
    if (::GetWindowTextA(window, title, 255) <= 0)
        return TRUE;
    const HWND list = reinterpret_cast<HWND>(context);
    const LRESULT index = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
    if (index >= 0)
        ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(window));
    return TRUE;
}

} // namespace

void FillWindowList(HWND list)
{
    ::EnumWindows(AddWindow, reinterpret_cast<LPARAM>(list));
}
