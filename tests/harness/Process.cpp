#include "harness/Process.h"

#include <tlhelp32.h>

#include <algorithm>
#include <iterator>

namespace e2e {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void Pump(std::chrono::milliseconds duration)
{
    WaitUntil([] { return false; }, duration);
}

std::string BinDir()
{
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/"));
}

void EndLeftoverPrograms()
{
    constexpr DWORD kEndWaitMs = 5000;
    static const char* const kPrograms[] = {"Flickmere.exe",
                                            "FlickmereHook32.exe",
                                            "FlickmereDemoTarget.exe",
                                            "FlickmereDemoTarget32.exe",
                                            "FlickmereControlsTarget.exe",
                                            "FlickmereControlsTarget32.exe"};
    const CFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry)) {
        const auto isLeftover = [&](const char* name) { return ::lstrcmpiA(entry.szExeFile, name) == 0; };
        if (std::none_of(std::begin(kPrograms), std::end(kPrograms), isLeftover))
            continue;
        const CKernelHandle process(
            ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process && ::TerminateProcess(process.Get(), 1))
            ::WaitForSingleObject(process.Get(), kEndWaitMs);
    }
}

CProcess::CProcess(std::string commandLine, const std::string& workDir, HANDLE output)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output;
    }
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                          workDir.empty() ? nullptr : workDir.c_str(), &startup, &started))
        return;
    const CKernelHandle thread(started.hThread);
    m_process.Reset(started.hProcess);
    m_id = started.dwProcessId;
}

CProcess::~CProcess()
{
    End();
}

bool CProcess::Running() const
{
    return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> CProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    if (!m_process || !WaitUntil([&] { return !Running(); }, timeout))
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

void CProcess::End(HWND window)
{
    if (!Running())
        return;
    if (window) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_process.Get(), 5000) == WAIT_OBJECT_0)
            return;
    }
    ::TerminateProcess(m_process.Get(), 99);
    ::WaitForSingleObject(m_process.Get(), 5000);
}

} // namespace e2e
