#pragma once
// What the hook library's tests share: the library loaded as the program loads it, the peer process
// whose window takes the keys, and hidden windows standing in for the program's dialog.
#include "capture/win32/HookLibrary.h"
#include "harness/Process.h"

#include <windows.h>

#include <string>

namespace hooktest {

// How long the tests wait for the peer and for what the hook posts.
constexpr DWORD kWaitMs = 3000;

// `fileName` in the folder of the test program, where the build puts HookDll.dll and the peer.
std::string BesideTestExe(const char* fileName);

// A window title no other window of this run carries.
std::string UniqueTitle(const char* what);

// The library loaded as the program loads it. Puts the capturing key and window name back as a fresh
// section has them, since the section outlives this object while any other process maps the DLL.
class CTestHooks : public CHookLibrary
{
public:
    CTestHooks() { m_loaded = Load(); }
    ~CTestHooks();
    bool Loaded() const { return m_loaded; }

private:
    bool m_loaded;
};

// A process started from flickmere_hookpeer.exe; closed (or, failing that, ended) with the object.
class CPeer
{
public:
    explicit CPeer(const std::string& arguments);
    ~CPeer() { m_process.End(window); }
    CPeer(const CPeer&) = delete;
    CPeer& operator=(const CPeer&) = delete;

    bool Started() const { return m_process.Started(); }
    // hookpeer::kFailed when the peer is still running after kWaitMs.
    DWORD ExitCode();

    HWND window = nullptr;

private:
    e2e::CProcess m_process;
};

// A hidden top-level window standing in for the program's main dialog; FindWindowA finds hidden
// windows too, and a hidden one cannot take the foreground from the peer.
class CTargetWindow
{
public:
    explicit CTargetWindow(const std::string& title);
    ~CTargetWindow();
    CTargetWindow(const CTargetWindow&) = delete;
    CTargetWindow& operator=(const CTargetWindow&) = delete;

    std::string title;
    HWND handle = nullptr;
};

} // namespace hooktest
