#pragma once
// Move-only owners for the Win32 handles the program creates. Each deleter matches the call that made
// the handle: GetDC/GetWindowDC -> ReleaseDC, CreateCompatibleDC -> DeleteDC, GDI objects ->
// DeleteObject, SetWindowsHookEx -> UnhookWindowsHookEx, LoadLibrary -> FreeLibrary, kernel objects
// (CreateMutex) -> CloseHandle.
#include <windows.h>

#include <utility>

template <typename Traits> class CUniqueHandle
{
public:
    using Handle = typename Traits::Handle;

    CUniqueHandle() = default;
    explicit CUniqueHandle(Handle h) : m_handle(h) {}
    ~CUniqueHandle() { Reset(); }
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Handle{}; }
    Handle Release() { return std::exchange(m_handle, Handle{}); }
    void Reset(Handle h = Handle{})
    {
        if (m_handle != Handle{})
            Traits::Close(m_handle);
        m_handle = h;
    }

private:
    Handle m_handle{};
};

template <typename T> struct GdiObjectTraits
{
    using Handle = T;
    static void Close(T h) { ::DeleteObject(h); }
};
struct MemoryDcTraits
{
    using Handle = HDC;
    static void Close(HDC h) { ::DeleteDC(h); }
};
struct HookTraits
{
    using Handle = HHOOK;
    static void Close(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
struct ModuleTraits
{
    using Handle = HMODULE;
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct FindTraits
{
    using Handle = HANDLE;
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct GlobalTraits
{
    using Handle = HGLOBAL;
    static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
struct KernelTraits
{
    using Handle = HANDLE;
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct LocalTraits
{
    using Handle = HLOCAL;
    static void Close(HLOCAL h) { ::LocalFree(h); }
};

using CBitmap = CUniqueHandle<GdiObjectTraits<HBITMAP>>;
using CMemoryDc = CUniqueHandle<MemoryDcTraits>;
using CHook = CUniqueHandle<HookTraits>;
using CModule = CUniqueHandle<ModuleTraits>;
using CFindHandle = CUniqueHandle<FindTraits>;
using CGlobalMemory = CUniqueHandle<GlobalTraits>;
using CLocalMemory = CUniqueHandle<LocalTraits>;
// Kernel objects that report failure as null (CreateMutex, CreateEvent), not INVALID_HANDLE_VALUE.
using CKernelHandle = CUniqueHandle<KernelTraits>;

// A device context from GetDC or GetWindowDC; both are given back with ReleaseDC for the same window.
class CWindowDc
{
public:
    static CWindowDc FromGetDC(HWND window) { return CWindowDc(window, ::GetDC(window)); }
    static CWindowDc FromGetWindowDC(HWND window) { return CWindowDc(window, ::GetWindowDC(window)); }

    ~CWindowDc() { Reset(); }
    CWindowDc(CWindowDc&& other) noexcept : m_window(other.m_window), m_dc(std::exchange(other.m_dc, nullptr))
    {
    }
    CWindowDc& operator=(CWindowDc&&) = delete;
    CWindowDc(const CWindowDc&) = delete;
    CWindowDc& operator=(const CWindowDc&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }
    void Reset()
    {
        if (m_dc)
            ::ReleaseDC(m_window, std::exchange(m_dc, nullptr));
    }

private:
    CWindowDc(HWND window, HDC dc) : m_window(window), m_dc(dc) {}
    HWND m_window;
    HDC m_dc;
};

// Selects a GDI object into a device context and puts the previous one back when it goes.
class CSelection
{
public:
    CSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~CSelection() { Restore(); }
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;

    // The object that was selected before; it stays selected until Restore.
    HGDIOBJ Previous() const { return m_previous; }
    void Restore()
    {
        if (m_previous)
            ::SelectObject(m_dc, std::exchange(m_previous, nullptr));
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// GlobalLock for the lifetime of the object.
class CGlobalLock
{
public:
    explicit CGlobalLock(HGLOBAL memory) : m_memory(memory), m_data(::GlobalLock(memory)) {}
    ~CGlobalLock()
    {
        if (m_data)
            ::GlobalUnlock(m_memory);
    }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;

    void* Data() const { return m_data; }

private:
    HGLOBAL m_memory;
    void* m_data;
};
