#include "harness/Process.h"

#include <utility>

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

CProcess::CProcess(std::string commandLine, const std::string& workDir)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         workDir.empty() ? nullptr : workDir.c_str(), &startup, &m_info))
        ::CloseHandle(std::exchange(m_info.hThread, nullptr));
    else
        m_info = {};
}

CProcess::~CProcess()
{
    End();
    if (m_info.hProcess)
        ::CloseHandle(m_info.hProcess);
}

bool CProcess::Running() const
{
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> CProcess::WaitForExit(std::chrono::milliseconds timeout)
{
    if (!m_info.hProcess || !WaitUntil([&] { return !Running(); }, timeout))
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

void CProcess::End(HWND window)
{
    if (!Running())
        return;
    if (window) {
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_info.hProcess, 5000) == WAIT_OBJECT_0)
            return;
    }
    ::TerminateProcess(m_info.hProcess, 99);
    ::WaitForSingleObject(m_info.hProcess, 5000);
}

} // namespace e2e
