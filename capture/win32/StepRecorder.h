#pragma once
// A session's steps file, as the main dialog keeps it while the session records: each press adds its
// record with what the press itself saw, the lookup worker completes the record when it answers in
// time, and the chords the hook reports go to the next press. The file is rewritten whole after each
// change, when the dialog takes WM_STEPS_CHANGED, right after the press's handler: so the press itself
// only reads what sends no message and hands the lookup over. Settings beside the
// program can turn it off (capture/StepSettings.h).
#include "capture/StepJournal.h"
#include "capture/win32/LookupWorker.h"
#include "common/Result.h"

#include <windows.h>

#include <filesystem>
#include <optional>

class CHookLibrary;

// Posted to the dialog after each press and by the lookup worker after each answer.
constexpr UINT WM_STEPS_CHANGED = WM_APP + 0x11;

class CStepRecorder
{
public:
    // At a session's start on `target`: reads the settings and tells the hook whose chords to report.
    void Start(HWND dialog, HWND target, const std::filesystem::path& file, const CHookLibrary& hooks);
    // After the capture step of a press at screen point (x, y) that took picture numbers
    // firstPicture .. nextPicture - 1.
    void RecordPress(int x, int y, int firstPicture, int nextPicture);
    // A chord (HOOKDLL_CHORD_MESSAGE), or a change to write (WM_STEPS_CHANGED); false for any other
    // message. `written` tells a failure to write the file, once a session.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, CResult<void>& written);
    // At the session's end: no more chords are reported, and lookups still missing count as late.
    void End(const CHookLibrary& hooks);

private:
    CResult<void> Write();

    CLookupWorker m_worker;
    std::optional<CStepJournal> m_journal; // while a session with steps runs
    std::filesystem::path m_file;
    HWND m_target = nullptr;
    HWND m_dialog = nullptr;
    bool m_unwritten = false; // a press is recorded that the file does not hold yet
    int m_presses = 0;
    bool m_failureTold = false;
};
