#include "FailingCalls.h"

#include <windows.h>

namespace wintest {

namespace {

struct CallState
{
    bool armed = false;
    int skip = 0;
    int failuresLeft = 0;
    int failures = 0;
};

CallState g_calls[static_cast<int>(Call::Count)];

// True when this call of `call` is to fail. Only the test's own thread arms a call.
bool Fails(Call call)
{
    CallState& state = g_calls[static_cast<int>(call)];
    if (!state.armed)
        return false;
    if (state.skip > 0) {
        --state.skip;
        return false;
    }
    if (state.failuresLeft == 0)
        return false;
    --state.failuresLeft;
    ++state.failures;
    return true;
}

} // namespace

const char* CallName(Call call)
{
    static const char* const kNames[] = {
        "CreateCompatibleDC", "CreateCompatibleBitmap", "BitBlt", "GetDIBits", "GlobalAlloc",
        "GlobalLock",         "GetCurrentDirectoryA"};
    return kNames[static_cast<int>(call)];
}

CFailingCall::CFailingCall(Call call, int skip, int failures) : m_call(call)
{
    g_calls[static_cast<int>(call)] = CallState{true, skip, failures, 0};
}

CFailingCall::~CFailingCall()
{
    g_calls[static_cast<int>(m_call)].armed = false;
}

int CFailingCall::Failures() const
{
    return g_calls[static_cast<int>(m_call)].failures;
}

} // namespace wintest

using wintest::Call;
using wintest::Fails;

// With dllimport declarations the program calls through the import slot __imp_<name>, a pointer; the
// linker's --wrap sends those references to __wrap___imp_<name>, which points at the stand-ins below,
// and __real___imp_<name> is the real slot.
extern "C" {

extern HDC(WINAPI* __real___imp_CreateCompatibleDC)(HDC);
extern HBITMAP(WINAPI* __real___imp_CreateCompatibleBitmap)(HDC, int, int);
extern BOOL(WINAPI* __real___imp_BitBlt)(HDC, int, int, int, int, HDC, int, int, DWORD);
extern int(WINAPI* __real___imp_GetDIBits)(HDC, HBITMAP, UINT, UINT, LPVOID, LPBITMAPINFO, UINT);
extern HGLOBAL(WINAPI* __real___imp_GlobalAlloc)(UINT, SIZE_T);
extern LPVOID(WINAPI* __real___imp_GlobalLock)(HGLOBAL);
extern DWORD(WINAPI* __real___imp_GetCurrentDirectoryA)(DWORD, LPSTR);

static HDC WINAPI FailingCreateCompatibleDC(HDC dc)
{
    return Fails(Call::CreateCompatibleDC) ? nullptr : __real___imp_CreateCompatibleDC(dc);
}
static HBITMAP WINAPI FailingCreateCompatibleBitmap(HDC dc, int width, int height)
{
    return Fails(Call::CreateCompatibleBitmap) ? nullptr
                                               : __real___imp_CreateCompatibleBitmap(dc, width, height);
}
static BOOL WINAPI FailingBitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX,
                                 int sourceY, DWORD rop)
{
    return Fails(Call::BitBlt) ? FALSE
                               : __real___imp_BitBlt(dc, x, y, width, height, source, sourceX, sourceY, rop);
}
static int WINAPI FailingGetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits,
                                   LPBITMAPINFO info, UINT usage)
{
    return Fails(Call::GetDIBits) ? 0 : __real___imp_GetDIBits(dc, bitmap, start, lines, bits, info, usage);
}
static HGLOBAL WINAPI FailingGlobalAlloc(UINT flags, SIZE_T bytes)
{
    return Fails(Call::GlobalAlloc) ? nullptr : __real___imp_GlobalAlloc(flags, bytes);
}
static LPVOID WINAPI FailingGlobalLock(HGLOBAL memory)
{
    return Fails(Call::GlobalLock) ? nullptr : __real___imp_GlobalLock(memory);
}

static DWORD WINAPI FailingGetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    // What the call answers for a directory that does not fit: the size it would need, buffer untouched.
    return Fails(Call::GetCurrentDirectoryA) ? size + 40 : __real___imp_GetCurrentDirectoryA(size, buffer);
}

HDC(WINAPI* __wrap___imp_CreateCompatibleDC)(HDC) = FailingCreateCompatibleDC;
HBITMAP(WINAPI* __wrap___imp_CreateCompatibleBitmap)(HDC, int, int) = FailingCreateCompatibleBitmap;
BOOL(WINAPI* __wrap___imp_BitBlt)(HDC, int, int, int, int, HDC, int, int, DWORD) = FailingBitBlt;
int(WINAPI* __wrap___imp_GetDIBits)(HDC, HBITMAP, UINT, UINT, LPVOID, LPBITMAPINFO, UINT) = FailingGetDIBits;
HGLOBAL(WINAPI* __wrap___imp_GlobalAlloc)(UINT, SIZE_T) = FailingGlobalAlloc;
LPVOID(WINAPI* __wrap___imp_GlobalLock)(HGLOBAL) = FailingGlobalLock;
DWORD(WINAPI* __wrap___imp_GetCurrentDirectoryA)(DWORD, LPSTR) = FailingGetCurrentDirectoryA;

} // extern "C"
