// FlickmereHook32.exe: installs HookDll32.dll, the 32-bit twin of the keyboard hook, for the length of
// a session on a 32-bit program. A 64-bit program cannot load a 32-bit library, and the 64-bit hook does
// not reach 32-bit programs: Windows calls it back in Flickmere's own thread for them, Wine not at all.
// The twin runs inside the recorded program and posts each press to Flickmere's dialog itself; this
// process only gives it the key and the dialog, and keeps the hook installed.
//
// The twin hooks the recorded program's thread only, not the whole desktop. Under Wine a global hook
// whose library a process cannot load ends the hook chain there: a global 32-bit hook installed after
// the 64-bit one would hide that one from every 64-bit program. A thread's own hooks come before the
// global ones, so the twin runs first in the recorded program and the global hook stays first
// everywhere else.
#include "common/win32/DynamicCalls.h"
#include "common/win32/Handles.h"
#include "hook/HookDll.h"
#include "hook/TwinHelperProtocol.h"

#include <cstdlib>

namespace {

class CTwin
{
public:
    bool Load()
    {
        m_module.Reset(::LoadLibraryA(HOOKDLL_TWIN_FILE));
        if (!m_module)
            return false;
        m_setCaptureKey = ProcAddressAs<PFN_SETCAPTUREKEY>(m_module.Get(), "SETCAPTUREKEY");
        m_setWindowNameOf = ProcAddressAs<PFN_SETWINDOWNAMEOF>(m_module.Get(), "SETWINDOWNAMEOF");
        m_setRecordedProcess = ProcAddressAs<PFN_SETRECORDEDPROCESS>(m_module.Get(), "SETRECORDEDPROCESS");
        m_hookProc = ProcAddressAs<HOOKPROC>(m_module.Get(), HOOKDLL_HOOK_PROC_EXPORT);
        return m_setCaptureKey && m_setWindowNameOf && m_setRecordedProcess && m_hookProc;
    }

    void SetKey(WPARAM packed) const
    {
        const CaptureKey key = UnpackKey(static_cast<uint32_t>(packed));
        m_setCaptureKey(key.vk, key.shift, key.ctrl, key.alt);
    }
    // The title as the dialog shows it now; the twin looks the window up by it in the dialog's process.
    void NameDialog(HWND dialog, DWORD process) const
    {
        char title[HOOKDLL_MAX_WINDOW_NAME + 1] = "";
        ::GetWindowTextA(dialog, title, sizeof title);
        m_setWindowNameOf(title, process);
    }
    void SetRecordedProcess(WPARAM process) const { m_setRecordedProcess(static_cast<DWORD>(process)); }
    bool Install(DWORD thread)
    {
        m_hook.Reset(::SetWindowsHookExA(WH_KEYBOARD, m_hookProc, m_module.Get(), thread));
        return static_cast<bool>(m_hook);
    }

private:
    // In this order, so that the hook goes before the library it comes from.
    CModule m_module;
    CHook m_hook;
    PFN_SETCAPTUREKEY m_setCaptureKey = nullptr;
    PFN_SETWINDOWNAMEOF m_setWindowNameOf = nullptr;
    PFN_SETRECORDEDPROCESS m_setRecordedProcess = nullptr;
    HOOKPROC m_hookProc = nullptr;
};

// Takes Flickmere's messages until the session is over or Flickmere is gone.
void Serve(CTwin& twin, HWND dialog, DWORD process, HANDLE owner)
{
    for (;;) {
        if (::MsgWaitForMultipleObjects(1, &owner, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0 + 1)
            return;
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return;
            if (message.hwnd == nullptr && message.message == kTwinSetKey)
                twin.SetKey(message.wParam);
            else if (message.hwnd == nullptr && message.message == kTwinRename)
                twin.NameDialog(dialog, process);
            else if (message.hwnd == nullptr && message.message == kTwinRecord)
                twin.SetRecordedProcess(message.wParam);
            else
                ::DispatchMessageA(&message);
        }
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char* end = nullptr;
    const auto dialog = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(commandLine, &end, 10)));
    const char* keyText = end;
    const WPARAM key = static_cast<WPARAM>(std::strtoul(keyText, &end, 10));
    const char* threadText = end;
    const auto thread = static_cast<DWORD>(std::strtoul(threadText, &end, 10));
    if (dialog == nullptr || end == keyText || thread == 0)
        return kTwinBadArguments;
    DWORD process = 0;
    ::GetWindowThreadProcessId(dialog, &process);
    const CKernelHandle owner(process ? ::OpenProcess(SYNCHRONIZE, FALSE, process) : nullptr);
    if (!owner)
        return kTwinNoDialog;
    CTwin twin;
    DWORD result = kTwinEnded;
    if (!twin.Load()) {
        result = kTwinNoLibrary;
    } else {
        twin.NameDialog(dialog, process);
        twin.SetKey(key);
        // Flickmere waits until this process is idle, which it is from its first look at its message
        // queue on: the hook must be in place by then, and the queue that Flickmere posts to too.
        if (twin.Install(thread)) {
            // Held for as long as the hook is, and gone with this process however it ends.
            char markName[kTwinMarkBytes];
            TwinMarkName(thread, markName);
            const CKernelHandle mark(::CreateMutexA(nullptr, FALSE, markName));
            MSG message;
            ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
            Serve(twin, dialog, process, owner.Get());
        } else {
            result = kTwinNoHook;
        }
    }
    return static_cast<int>(result);
}
