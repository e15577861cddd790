#pragma once
// A session's steps file, as the main dialog keeps it while the session records: each press adds its
// record with what the press itself saw and rewrites the file, the lookup worker completes the record
// when it answers in time, and the chords the hook reports go to the next press. Settings beside the
// program can turn it off (capture/StepSettings.h).
#include "capture/StepJournal.h"
#include "capture/win32/LookupWorker.h"
#include "common/Result.h"

#include <windows.h>

#include <filesystem>
#include <optional>

class CHookLibrary;

// Posted to the dialog by the lookup worker after each answer.
constexpr UINT WM_STEP_LOOKED_UP = WM_APP + 0x11;

class CStepRecorder
{
public:
    // At a session's start on `target`: reads the settings and tells the hook whose chords to report.
    void Start(HWND dialog, HWND target, const std::filesystem::path& file, const CHookLibrary& hooks);
    // After the capture step of a press at screen point (x, y) that took picture numbers
    // firstPicture .. nextPicture - 1. A failure to write the file is told once a session.
    CResult<void> RecordPress(int x, int y, int firstPicture, int nextPicture);
    // A chord (HOOKDLL_CHORD_MESSAGE) or the worker's answers (WM_STEP_LOOKED_UP); false for any other
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
    int m_presses = 0;
    bool m_failureTold = false;
};
