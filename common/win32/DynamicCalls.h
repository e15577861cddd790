#pragma once
// Functions of newer Windows versions, looked up at run time so that the program and its hook library
// still start where they are missing; each answers null there. Header-only: the hook library uses it and
// links nothing of the program.
#include <windows.h>

// GetProcAddress's answer cast to the function type the caller knows the export to have. Windows hands
// every export back as one generic pointer type; the cast through void (*)() keeps gcc's
// -Wcast-function-type quiet.
template <typename Fn> Fn ProcAddressAs(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

namespace dyncall {

// user32 is loaded in every process that has windows, so it is never loaded here, only found.
template <typename Fn> Fn User32Function(const char* name)
{
    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 ? ProcAddressAs<Fn>(user32, name) : nullptr;
}

// Windows 10 1607 on.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
inline GetDpiForWindowFn GetDpiForWindow()
{
    return User32Function<GetDpiForWindowFn>("GetDpiForWindow");
}

// Windows 10 1607 on.
using SetThreadDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
inline SetThreadDpiAwarenessContextFn SetThreadDpiAwarenessContext()
{
    return User32Function<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext");
}

// The per-window message filter, Windows 7 on; its action MSGFLT_ALLOW is 1.
using ChangeWindowMessageFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
inline ChangeWindowMessageFilterExFn ChangeWindowMessageFilterEx()
{
    return User32Function<ChangeWindowMessageFilterExFn>("ChangeWindowMessageFilterEx");
}

// The per-process message filter, Vista only (Windows 7 has the per-window one); its action MSGFLT_ADD is 1.
using ChangeWindowMessageFilterFn = BOOL(WINAPI*)(UINT, DWORD);
inline ChangeWindowMessageFilterFn ChangeWindowMessageFilter()
{
    return User32Function<ChangeWindowMessageFilterFn>("ChangeWindowMessageFilter");
}

} // namespace dyncall
