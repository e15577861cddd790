// A small window whose content changes on command: the target for the end-to-end tests and for the
// scripted demo of ./run.sh. A left click adds a square where the mouse is, a right click clears.
#include "DemoScene.h"
#include "common/win32/Handles.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

DemoScene g_scene;
LRESULT g_menuEvents = 0;
uint32_t g_colours[] = {0xE02020, 0x20C040, 0x2040E0, 0xF0C000, 0x000000, 0xFFFFFF};
int g_nextColour = 0;

void Paint(HWND window)
{
    const CPaintDc dc(window);
    std::vector<uint32_t> pixels(static_cast<size_t>(g_scene.width) * g_scene.height);
    for (int y = 0; y < g_scene.height; ++y)
        for (int x = 0; x < g_scene.width; ++x)
            pixels[static_cast<size_t>(y) * g_scene.width + x] = DemoPixel(g_scene, x, y);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = g_scene.width;
    info.bmiHeader.biHeight = -g_scene.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc.Get(), 0, 0, g_scene.width, g_scene.height, 0, 0, 0, g_scene.height, pixels.data(),
                        &info, DIB_RGB_COLORS);
}

void Redraw(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void ResizeClient(HWND window, int width, int height)
{
    RECT rect{0, 0, width, height};
    ::AdjustWindowRectEx(&rect, static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)),
                         ::GetMenu(window) != nullptr,
                         static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE)));
    ::SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case kDemoAddSquare:
        g_scene.fill = 0;
        g_scene.squares.push_back({static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam)),
                                   static_cast<uint32_t>(lParam)});
        Redraw(window);
        return 1;
    case kDemoClear:
        g_scene.fill = 0;
        g_scene.squares.clear();
        Redraw(window);
        return 1;
    case kDemoFill:
        // 0 means "no fill", so black is drawn as the nearest colour that is not 0.
        g_scene.fill = static_cast<uint32_t>(lParam) & 0x00FFFFFF;
        if (g_scene.fill == 0)
            g_scene.fill = 0x010101;
        Redraw(window);
        return 1;
    case kDemoResize:
        g_scene.width = LOWORD(wParam);
        g_scene.height = HIWORD(wParam);
        ResizeClient(window, g_scene.width, g_scene.height);
        Redraw(window);
        return 1;
    case WM_LBUTTONDOWN:
        g_scene.fill = 0;
        g_scene.squares.push_back({static_cast<short>(LOWORD(lParam)) - kDemoSquareSize / 2,
                                   static_cast<short>(HIWORD(lParam)) - kDemoSquareSize / 2,
                                   g_colours[g_nextColour++ % (sizeof g_colours / sizeof g_colours[0])]});
        Redraw(window);
        return 0;
    case WM_RBUTTONDOWN:
        g_scene.squares.clear();
        g_scene.fill = 0;
        Redraw(window);
        return 0;
    case kDemoMenuEvents:
        return g_menuEvents;
    case WM_ENTERMENULOOP:
        ++g_menuEvents;
        return 0;
    case WM_SYSCOMMAND:
        // Entering the menu loop would block this thread, so a request by keyboard is only counted.
        if ((wParam & 0xFFF0) == SC_KEYMENU) {
            ++g_menuEvents;
            return 0;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

// Optional arguments: the window's left and top edge on the screen, then kDemoMenuArgument for a menu
// bar.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    int left = 40, top = 40;
    char* end = nullptr;
    const long x = std::strtol(commandLine, &end, 10);
    if (end != commandLine) {
        left = static_cast<int>(x);
        top = static_cast<int>(std::strtol(end, &end, 10));
    }
    HMENU menuBar = nullptr;
    if (end && std::strstr(end, kDemoMenuArgument)) {
        menuBar = ::CreateMenu();
        HMENU file = ::CreatePopupMenu();
        ::AppendMenuA(file, MF_STRING, 1, "E&xit");
        ::AppendMenuA(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "FlickmereDemoTarget";
    ::RegisterClassA(&windowClass);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT rect{0, 0, g_scene.width, g_scene.height};
    ::AdjustWindowRectEx(&rect, style, menuBar != nullptr, 0);
    const HWND window =
        ::CreateWindowExA(0, windowClass.lpszClassName, kDemoTitle, style, left, top, rect.right - rect.left,
                          rect.bottom - rect.top, nullptr, menuBar, instance, nullptr);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
