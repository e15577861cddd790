#pragma once
// HookDll.dll, loaded at start-up. Its exports are looked up by name rather than imported, so that a
// missing library is reported by the program itself instead of by the loader before it starts. A key
// or name given here also reaches the 32-bit twin while a session runs it (capture/win32/TwinHook.h).
#include "common/CaptureKey.h"
#include "common/win32/Handles.h"
#include "hook/HookDll.h"

class CHookLibrary
{
public:
    // LoadLibraryA("HookDll.dll"); false when it or one of its exports is missing.
    [[nodiscard]] bool Load();
    // The function pointers point into the library, so they go with it.
    void Free();
    HMODULE Module() const { return m_module.Get(); }
    HOOKPROC HookProc() const { return m_hookProc; }

    void SetCaptureKey(const CaptureKey& key) const;
    // As the library keeps it; an empty key without the library.
    CaptureKey CurrentCaptureKey() const;
    void SetWindowName(const char* title) const;
    // The process whose chords the hook reports to the dialog (HOOKDLL_CHORD_MESSAGE), 0 for none.
    void SetRecordedProcess(DWORD process) const;

    // The dialog that gets the captures, given once it is named: the 32-bit helper is told about it.
    // The hook's message is let into it from programs with lower rights than this one: when Flickmere
    // runs as administrator, Windows drops it otherwise. Where the system refuses, only programs with
    // the same rights can be recorded, as before.
    void SetDialog(HWND dialog);
    HWND Dialog() const { return m_dialog; }

private:
    void ForgetExports();

    CModule m_module;
    PFN_SETCAPTUREKEY m_setCaptureKey = nullptr;
    PFN_GETCAPTUREKEY m_getCaptureKey = nullptr;
    PFN_SETWINDOWNAME m_setWindowName = nullptr;
    PFN_SETRECORDEDPROCESS m_setRecordedProcess = nullptr;
    HOOKPROC m_hookProc = nullptr;
    HWND m_dialog = nullptr;
};
