#include "capture/win32/HookLibrary.h"

#include "capture/win32/TwinHook.h"
#include "common/win32/DynamicCalls.h"
#include "hook/TwinHelperProtocol.h"

bool CHookLibrary::Load()
{
    CModule module(::LoadLibraryA("HookDll.dll"));
    if (!module)
        return false;
    m_setCaptureKey = ProcAddressAs<PFN_SETCAPTUREKEY>(module.Get(), "SETCAPTUREKEY");
    m_getCaptureKey = ProcAddressAs<PFN_GETCAPTUREKEY>(module.Get(), "GETCAPTUREKEY");
    m_setWindowName = ProcAddressAs<PFN_SETWINDOWNAME>(module.Get(), "SETWINDOWNAME");
    m_setRecordedProcess = ProcAddressAs<PFN_SETRECORDEDPROCESS>(module.Get(), "SETRECORDEDPROCESS");
    m_hookProc = ProcAddressAs<HOOKPROC>(module.Get(), HOOKDLL_HOOK_PROC_EXPORT);
    // A library without the exports is as good as none: nothing could be captured with it.
    if (!m_setCaptureKey || !m_getCaptureKey || !m_setWindowName || !m_setRecordedProcess || !m_hookProc) {
        ForgetExports();
        return false;
    }
    m_module = std::move(module);
    return true;
}

void CHookLibrary::Free()
{
    ForgetExports();
    m_module.Reset();
}

void CHookLibrary::ForgetExports()
{
    m_setCaptureKey = nullptr;
    m_getCaptureKey = nullptr;
    m_setWindowName = nullptr;
    m_setRecordedProcess = nullptr;
    m_hookProc = nullptr;
}

void CHookLibrary::SetCaptureKey(const CaptureKey& key) const
{
    if (m_setCaptureKey)
        m_setCaptureKey(key.vk, key.shift, key.ctrl, key.alt);
    TellTwinHook(kTwinSetKey, PackKey(key));
}

CaptureKey CHookLibrary::CurrentCaptureKey() const
{
    CaptureKey key;
    if (m_getCaptureKey)
        m_getCaptureKey(&key.vk, &key.shift, &key.ctrl, &key.alt);
    return key;
}

void CHookLibrary::SetWindowName(const char* title) const
{
    if (m_setWindowName)
        m_setWindowName(title);
    TellTwinHook(kTwinRename, 0);
}

void CHookLibrary::SetRecordedProcess(DWORD process) const
{
    if (m_setRecordedProcess)
        m_setRecordedProcess(process);
    TellTwinHook(kTwinRecord, process);
}

void CHookLibrary::SetDialog(HWND dialog)
{
    m_dialog = dialog;
    // Looked up: Windows 7 brought the per-window filter and Vista the per-process one; before Vista
    // there is no filter at all. MSGFLT_ALLOW and MSGFLT_ADD are both 1.
    using FilterWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using FilterProcess = BOOL(WINAPI*)(UINT, DWORD);
    constexpr DWORD kAllow = 1;
    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    if (!user32)
        return;
    const auto filterWindow = ProcAddressAs<FilterWindow>(user32, "ChangeWindowMessageFilterEx");
    const auto filterProcess = ProcAddressAs<FilterProcess>(user32, "ChangeWindowMessageFilter");
    for (const UINT message : {HOOKDLL_CAPTURE_MESSAGE, HOOKDLL_CHORD_MESSAGE}) {
        if (filterWindow)
            filterWindow(dialog, message, kAllow, nullptr);
        else if (filterProcess)
            filterProcess(message, kAllow);
    }
}
