// The controls target (ControlsTarget.h): standard controls made with CreateWindowEx, each one child
// window, as a dialog of any program has them.
#include "ControlsTarget.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

struct ChildControl
{
    const char* className;
    const char* text;
    DWORD style;
    int id;
    int x, y, width, height;
};

const ChildControl kChildren[] = {
    {"Button", "&Save", BS_PUSHBUTTON, kControlsSave, 10, 10, 90, 26},
    {"Static", "User name:", SS_LEFT, kControlsUserLabel, 10, 50, 90, 20},
    {"Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kControlsUser, 110, 48, 160, 24},
    {"Static", "Password:", SS_LEFT, kControlsPasswordLabel, 10, 86, 90, 20},
    {"Edit", "", ES_PASSWORD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kControlsPassword, 110, 84, 160, 24},
    {"ListBox", "", LBS_NOTIFY | WS_BORDER | WS_VSCROLL, kControlsList, 10, 120, 260, 110},
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kControlsHang:
        ::Sleep(static_cast<DWORD>(lParam));
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

// Optional arguments: the window's left and top edge on the screen.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    char* end = nullptr;
    int left = static_cast<int>(std::strtol(commandLine, &end, 10));
    int top = end != commandLine ? static_cast<int>(std::strtol(end, &end, 10)) : 60;
    if (end == commandLine)
        left = 60;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "FlickmereControlsTarget";
    ::RegisterClassA(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT rect{0, 0, 280, 240};
    ::AdjustWindowRectEx(&rect, style, FALSE, 0);
    const HWND window = ::CreateWindowExA(0, windowClass.lpszClassName, kControlsTitle, style, left, top,
                                          rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                          instance, nullptr);
    for (const ChildControl& child : kChildren)
        ::CreateWindowExA(0, child.className, child.text, WS_CHILD | WS_VISIBLE | child.style, child.x,
                          child.y, child.width, child.height, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), instance, nullptr);
    const HWND list = ::GetDlgItem(window, kControlsList);
    for (int i = 1; i <= kControlsItems; ++i)
        ::SendMessageA(list, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(("Item " + std::to_string(i)).c_str()));
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageA(window, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
