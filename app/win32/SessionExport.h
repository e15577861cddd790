#pragma once
// Writes sessions' player pages and animated PNGs on a thread of its own, one session after another, so
// that the dialog goes on while a long take is drawn. A new session may record meanwhile: each export
// reads and writes in its own session's folder only, and parses the offset files into tables of its
// own. A failure leaves that session's files as they were; the dialog is told, and shows it.
#include "common/win32/Handles.h"
#include "export/take/Suggestion.h"

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// An export that could not be done: its session, which of its files were not written (a
// SessionFilesFailure) and one line of why, in UTF-8; empty for a failure that came without words.
struct ExportFailure
{
    int session = 0;
    int output = 0;
    std::string error;
};

// The message's lParam when the failure of session wParam could not be recorded (out of memory).
constexpr LPARAM kExportFailureUnrecorded = 1;

class CSessionExport
{
public:
    CSessionExport() = default;
    ~CSessionExport() { Finish(); }
    CSessionExport(const CSessionExport&) = delete;
    CSessionExport& operator=(const CSessionExport&) = delete;

    // `workDir` in the ANSI code page, as the program keeps it; `window` gets `message` posted after each
    // export that failed (lParam 0: take the failures with TakeFailures).
    void Prepare(const char* workDir, HWND window, UINT message);
    // Asks for `session`'s export, its suggested captions in the current language; a session that is
    // still waiting is not asked for twice. On the dialog's thread, the one that changes the language.
    void Add(int session);
    // Asks for it when its project file is not the one its last export read: a save is reported as
    // several changes, some of them after the export it caused has begun.
    void AddIfEditIsNew(int session);
    // Returns once every export asked for is done, so that the files are complete before the program
    // ends.
    void Finish();
    // The failures not taken yet, oldest first.
    std::vector<ExportFailure> TakeFailures();

private:
    static DWORD WINAPI Run(LPVOID self);
    // The next session to export, taken off the queue; false (and the thread marked ended) when none is
    // left.
    struct Queued
    {
        int session = 0;
        SuggestionWords words; // taken when it was asked for: the export's thread reads no texts
    };
    bool TakeNext(Queued& next);
    void Export(const Queued& queued);
    void Fail(ExportFailure failure);

    std::wstring m_workDir;
    HWND m_window = nullptr;
    UINT m_message = 0;
    CKernelHandle m_thread;
    // Guards what follows, which the dialog's thread and the export's share.
    std::mutex m_lock;
    std::deque<Queued> m_waiting;
    // Whether m_thread still takes sessions off m_waiting.
    bool m_running = false;
    std::vector<ExportFailure> m_failures;
    // The project file that each session's last export read, none when it had none. Its bytes rather
    // than its time: the C runtime keeps file times in whole seconds, and a second save can come within
    // one.
    std::map<int, std::optional<std::vector<uint8_t>>> m_editsRead;
};
