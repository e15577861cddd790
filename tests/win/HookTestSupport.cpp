#include "HookTestSupport.h"

#include "tests/win/hookpeer/HookPeerProtocol.h"

#include <chrono>

namespace hooktest {

std::string BesideTestExe(const char* fileName)
{
    return e2e::BinDir() + "\\" + fileName;
}

std::string UniqueTitle(const char* what)
{
    static int counter = 0;
    return std::string("Flickmere hook test ") + what + " " + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(counter++);
}

CTestHooks::~CTestHooks()
{
    SetCaptureKey({VK_F12});
    SetWindowName("");
}

CPeer::CPeer(const std::string& arguments)
    : m_process("\"" + BesideTestExe("flickmere_hookpeer.exe") + "\" " + arguments)
{
}

DWORD CPeer::ExitCode()
{
    return m_process.WaitForExit(std::chrono::milliseconds(kWaitMs)).value_or(hookpeer::kFailed);
}

CTargetWindow::CTargetWindow(const std::string& title) : title(title)
{
    static const ATOM windowClass = [] {
        WNDCLASSA description{};
        description.lpfnWndProc = ::DefWindowProcA;
        description.hInstance = ::GetModuleHandleA(nullptr);
        description.lpszClassName = "FlickmereHookTestTarget";
        return ::RegisterClassA(&description);
    }();
    handle = ::CreateWindowExA(0, MAKEINTATOM(windowClass), title.c_str(), WS_OVERLAPPED, 0, 0, 100, 100,
                               nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

CTargetWindow::~CTargetWindow()
{
    if (handle)
        ::DestroyWindow(handle);
}

} // namespace hooktest
