#pragma once
// Works the real Flickmere.exe from another process, the way a person would: it finds the dialog,
// reads and sets controls, clicks buttons, and reads and closes message boxes.
#include "common/CaptureKey.h"
#include "harness/Process.h"
#include "harness/WindowSearch.h"

#include <windows.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Flickmere.exe started in a working directory; ended by the destructor if still running.
class CApp
{
public:
    explicit CApp(const std::string& workDir);

    DWORD ProcessId() const { return m_process->Id(); }
    HANDLE Process() const { return m_process->Handle(); }
    // The main dialog, once it is visible. The waits are generous: the first program started in a fresh
    // Wine prefix can take many seconds on a busy machine. The popup is then moved clear of the targets.
    HWND WaitForDialog(std::chrono::milliseconds timeout = 30s);
    HWND Dialog() const { return m_dialog; }
    HWND Popup() const;
    // Returns once the dialog has finished the handler it is running.
    void WaitForHandlers() const;
    std::optional<MessageBoxInfo> WaitForMessageBox(std::chrono::milliseconds timeout = 30s);
    // Closes the box with its OK (or Cancel) button.
    void CloseMessageBox(const MessageBoxInfo& box);
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = 10s)
    {
        return m_process->WaitForExit(timeout);
    }
    bool Running() const { return m_process->Running(); }

    HWND Control(int id) const { return ::GetDlgItem(m_dialog, id); }
    std::string Text(int id) const;
    std::string Title() const;
    bool Enabled(int id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
    void Click(int id) const;
    std::vector<std::string> ListItems(int id) const;
    int ListSelection(int id) const;
    // Selects the first entry with `text`; false when there is none.
    bool SelectListEntry(int id, const std::string& text) const;
    std::vector<std::string> ComboItems(int id) const;
    void SelectCombo(int id, int index) const;
    void SetCheck(int id, bool checked) const;
    // Chooses `key` (F1 to F12) with its modifiers and presses Assign Key; true once the dialog shows it
    // as `shown`.
    bool AssignKey(const CaptureKey& key, const std::string& shown) const;
    // Selects the window with `title` in the window list; false when it is not listed or Capture stays
    // disabled.
    bool SelectWindow(const std::string& title) const;
    // Selects the window with `title` and starts a session on it; false when the session did not start.
    bool StartCapture(const std::string& title) const;
    // Ends the program through its window's close box.
    std::optional<DWORD> Close();

private:
    void KeepPopupAside() const;

    std::unique_ptr<CProcess> m_process;
    HWND m_dialog = nullptr;
};

} // namespace e2e
