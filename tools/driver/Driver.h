#pragma once
// Works the real Flickmere.exe from another process, the way a person would: it finds the dialog,
// reads and sets controls, clicks buttons, reads and closes message boxes, and presses real keys.
#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// Pumps this thread's messages until `done` holds or `timeout` passes; returns `done()` at the end.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s);
void Pump(std::chrono::milliseconds duration);

// The directory of the running test program, where the build puts Flickmere.exe and HookDll.dll.
std::string BinDir();

// A program started from here; ended by the destructor if it still runs: asked first when a window is
// named to close, then terminated.
class CProcess
{
public:
    CProcess() = default;
    // The command line as CreateProcess takes it, in `workDir` (or this program's current directory).
    explicit CProcess(std::string commandLine, const std::string& workDir = {});
    ~CProcess();
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    bool Started() const { return m_info.hProcess != nullptr; }
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    bool Running() const;
    // The exit status, or none when it still runs after `timeout`.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout);
    // Posts WM_CLOSE to `window` (when given), waits a while, and terminates what is left.
    void End(HWND window = nullptr);

private:
    PROCESS_INFORMATION m_info{};
};
// Where CWorkDir takes Flickmere.exe and the hook's files from: the folder FLICKMERE_APP_DIR names (an
// unpacked release), else BinDir().
std::string AppDir();

struct WorkDirOptions
{
    int capacity = 20;
    bool templateKit = true;
    bool hookDll = true;
};

// A fresh working directory under %TEMP% holding Flickmere.exe, HookDll.dll with its 32-bit twin and
// helper (`hookDll`), and a template kit.
class CWorkDir
{
public:
    explicit CWorkDir(const WorkDirOptions& options = {});
    ~CWorkDir();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }
    void Write(const std::string& name, const std::string& bytes) const;
    void Remove(const std::string& name) const;
    // The pictures in folder session<session>.
    int Pictures(int session) const;

private:
    std::string m_path;
};

enum class BoxIcon
{
    None,
    Error,
    Warning,
    Information,
};

struct MessageBoxInfo
{
    HWND window = nullptr;
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
};

// Flickmere.exe started in a working directory; ended by the destructor if still running.
class CApp
{
public:
    explicit CApp(const std::string& workDir);

    DWORD ProcessId() const { return m_process->Id(); }
    HANDLE Process() const { return m_process->Handle(); }
    // The main dialog, once it is visible. The waits are generous: the first program started in a fresh
    // Wine prefix can take many seconds on a busy machine.
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
    // Picks function key F<index + 1> and the modifiers, then Assign Key.
    void AssignKey(int index, bool shift, bool ctrl, bool alt) const;
    // Selects the window with `title` and starts a session on it; false when the session did not start.
    bool StartCapture(const std::string& title) const;
    // Ends the program through its window's close box.
    std::optional<DWORD> Close();

private:
    std::unique_ptr<CProcess> m_process;
    HWND m_dialog = nullptr;
};

// The demo target window in its own process.
class CDemoTarget
{
public:
    // With `menuBar`, the window has one and counts the requests to enter menu mode (MenuRequests);
    // with `thirtyTwoBit`, it is the 32-bit build of the demo target.
    CDemoTarget(int left = 60, int top = 60, bool menuBar = false, bool thirtyTwoBit = false);
    ~CDemoTarget();
    HWND Window() const { return m_window; }
    // The window, and each change, are there once the screen shows them.
    void AddSquare(int x, int y, uint32_t colour) const;
    void Clear() const;
    void Fill(uint32_t colour) const;
    int MenuRequests() const;
    void Close();

private:
    // A pixel of the client area and the colour (0x00RRGGBB) it should show.
    struct ShownPixel
    {
        int x;
        int y;
        uint32_t colour;
    };
    // Waits (a while at most) until the screen shows every one of `pixels`.
    void WaitUntilShown(std::initializer_list<ShownPixel> pixels) const;

    std::unique_ptr<CProcess> m_process;
    HWND m_window = nullptr;
};

// One key going down or up, as SendInput takes it.
INPUT KeyInput(WORD key, bool up);
// Real key presses through SendInput; modifiers are pressed before and released after the key, a moment
// later, as a person's fingers would.
void PressKey(WORD key, bool shift = false, bool ctrl = false, bool alt = false);
// Brings `window` to the front so that it receives the keys.
void Activate(HWND window);

std::string WindowText(HWND window);

} // namespace e2e
