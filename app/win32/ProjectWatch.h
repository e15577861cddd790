#pragma once
// Notices, while the program runs, a project file saved in a session folder of the working directory,
// and tells the main dialog whose edit changed. A save comes as several changes of the folder (a
// browser writes a file of its own and renames it), so a session is told of once its project file has
// been left alone for a moment.
#include "common/win32/Handles.h"

#include <string>
#include <vector>

// The message's wParam when more changes came at once than the system could keep: every session may
// have a new edit. With lParam kWatchEnded, the watch has ended besides (the folder can no longer be
// watched, or memory ran out): edits saved from now on are noticed at the program's next start.
constexpr WPARAM kEveryEditMayHaveChanged = 0;
constexpr LPARAM kWatchEnded = 1;

class CProjectWatch
{
public:
    CProjectWatch() = default;
    ~CProjectWatch() { Stop(); }
    CProjectWatch(const CProjectWatch&) = delete;
    CProjectWatch& operator=(const CProjectWatch&) = delete;

    // Watches `workDir` and its folders; `window` gets `message` posted, wParam the session whose project
    // file was saved (or kEveryEditMayHaveChanged). False when the folder cannot be watched.
    bool Start(const std::wstring& workDir, HWND window, UINT message);
    void Stop();

private:
    static DWORD WINAPI Run(LPVOID self);
    bool Read();
    // True when it ended because Stop asked it to.
    bool Watch();

    HWND m_window = nullptr;
    UINT m_message = 0;
    CFileHandle m_folder;
    CKernelHandle m_stop;
    // The read of the folder's changes in progress: the system writes into m_changes until it is done,
    // so both live as long as the watch.
    CKernelHandle m_changed;
    OVERLAPPED m_reading{};
    std::vector<DWORD> m_changes; // the system wants it DWORD-aligned
    bool m_readPending = false;
    CKernelHandle m_thread;
};
