#include "app/win32/WindowList.h"

namespace {

constexpr int kTitleBytes = 256;

BOOL CALLBACK AddWindow(HWND window, LPARAM context)
{
    if (!::IsWindowVisible(window))
        return TRUE;
    char title[kTitleBytes];
    if (::GetWindowTextA(window, title, kTitleBytes - 1) <= 0)
        return TRUE;
    const CListBox& list = *reinterpret_cast<const CListBox*>(context);
    const int index = list.AddString(title);
    if (index >= 0)
        list.SetItemData(index, reinterpret_cast<LPARAM>(window));
    return TRUE;
}

} // namespace

void FillWindowList(const CListBox& list)
{
    ::EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&list));
}
