#pragma once
// Move-only owners for the Win32 handles the program creates. Each deleter matches the call that made
// the handle: GetDC/GetWindowDC -> ReleaseDC, BeginPaint -> EndPaint, CreateCompatibleDC -> DeleteDC,
// GDI objects -> DeleteObject, SetWindowsHookEx -> UnhookWindowsHookEx, LoadLibrary -> FreeLibrary,
// FindFirstFile -> FindClose, kernel objects (CreateMutex, CreateFile) -> CloseHandle. The value a creator
// answers on failure belongs to the traits too: most answer null, FindFirstFile and CreateFile answer
// INVALID_HANDLE_VALUE.
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
    explicit operator bool() const { return m_handle != Traits::Invalid(); }
    // The handle is the caller's to close from now on.
    [[nodiscard]] Handle Release() { return std::exchange(m_handle, Traits::Invalid()); }
    void Reset(Handle h = Traits::Invalid())
    {
        if (m_handle != Traits::Invalid())
            Traits::Close(m_handle);
        m_handle = h;
    }

private:
    Handle m_handle = Traits::Invalid();
};

// Creators that answer null on failure.
template <typename T> struct NullIsInvalid
{
    using Handle = T;
    static Handle Invalid() { return nullptr; }
};

template <typename T> struct GdiObjectTraits : NullIsInvalid<T>
{
    static void Close(T h) { ::DeleteObject(h); }
};
struct MemoryDcTraits : NullIsInvalid<HDC>
{
    static void Close(HDC h) { ::DeleteDC(h); }
};
struct HookTraits : NullIsInvalid<HHOOK>
{
    static void Close(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
struct ModuleTraits : NullIsInvalid<HMODULE>
{
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct FindTraits
{
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct GlobalTraits : NullIsInvalid<HGLOBAL>
{
    static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
struct KernelTraits : NullIsInvalid<HANDLE>
{
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
// CreateFile answers INVALID_HANDLE_VALUE on failure, not null.
struct FileTraits
{
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct LocalTraits : NullIsInvalid<HLOCAL>
{
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
using CFileHandle = CUniqueHandle<FileTraits>;

// A named mutex, made or opened; `existed` tells whether it was there already, made by someone else.
// One that exists but may not be opened (another user's, whose default security lets only that user
// in) counts as existing, with no handle. Empty, and not existing, when the name cannot be had at all
// (taken by another kind of object).
[[nodiscard]] inline CKernelHandle CreateNamedMutex(const char* name, bool& existed)
{
    CKernelHandle mutex(::CreateMutexA(nullptr, FALSE, name));
    const DWORD error = ::GetLastError();
    existed = mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    return mutex;
}

// The device context of a WM_PAINT, from BeginPaint to EndPaint. Not movable: EndPaint needs the very
// PAINTSTRUCT that BeginPaint filled in. When BeginPaint fails it holds nothing, and EndPaint, which
// belongs to a BeginPaint that succeeded, is not called.
class CPaintDc
{
public:
    explicit CPaintDc(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_paint)) {}
    ~CPaintDc()
    {
        if (m_dc)
            ::EndPaint(m_window, &m_paint);
    }
    CPaintDc(const CPaintDc&) = delete;
    CPaintDc& operator=(const CPaintDc&) = delete;

    HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }
    const PAINTSTRUCT& Paint() const { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// A device context from GetDC or GetWindowDC; both are given back with ReleaseDC for the same window.
class CWindowDc
{
public:
    [[nodiscard]] static CWindowDc FromGetDC(HWND window) { return CWindowDc(window, ::GetDC(window)); }
    [[nodiscard]] static CWindowDc FromGetWindowDC(HWND window)
    {
        return CWindowDc(window, ::GetWindowDC(window));
    }

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
