#pragma once
// Programs the tests and the demo start, and waits that keep this thread's windows answering.
#include "common/win32/Handles.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace e2e {

using namespace std::chrono_literals;

// Pumps this thread's messages until `done` holds or `timeout` passes; returns `done()` at the end.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s);
void Pump(std::chrono::milliseconds duration);

// The directory of the running program, where the build puts Flickmere.exe, HookDll.dll and the demo
// targets.
std::string BinDir();

// Ends what an earlier test that crashed or was killed left running: Flickmere.exe, its 32-bit helper
// and the targets. A leftover Flickmere.exe turns the next one away (one copy at a time), and a
// leftover target puts a second window of the same title in the window list.
void EndLeftoverPrograms();

// A program started from here; ended by the destructor if it still runs: asked first when a window is
// named to close, then terminated.
class CProcess
{
public:
    CProcess() = default;
    // The command line as CreateProcess takes it, in `workDir` (or this program's current directory);
    // with `output`, an inheritable file handle, its standard output and error go there.
    explicit CProcess(std::string commandLine, const std::string& workDir = {}, HANDLE output = nullptr);
    ~CProcess();
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.Get(); }
    bool Running() const;
    // The exit status, or none when it still runs after `timeout`.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout);
    // Posts WM_CLOSE to `window` (when given), waits a while, and terminates what is left.
    void End(HWND window = nullptr);

private:
    CKernelHandle m_process;
    DWORD m_id = 0;
};

} // namespace e2e
