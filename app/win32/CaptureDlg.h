#pragma once
#include "app/SessionReplies.h"
#include "app/win32/AboutDlg.h"
#include "app/win32/RunningInstance.h"
#include "app/win32/ProjectWatch.h"
#include "app/win32/SessionExport.h"
#include "capture/win32/HookLibrary.h"
#include "capture/win32/StepRecorder.h"
#include "common/win32/ComboBox.h"
#include "common/win32/ListBox.h"
#include "common/win32/ModalDialog.h"
#include "popup/win32/FramePopup.h"
#include "res/resource.h"

// The main dialog: the whole program is this one modal dialog, and it alone touches its controls.
//
// The program's start-up (texts and languages, the offset tables, the hook library) runs first thing in
// OnInit, before anything is shown: a dialog procedure never sees WM_CREATE, and at that point the
// window exists, so the failure boxes are owned by it, yet it is still hidden. After a failure's box the
// window is destroyed and DoModal returns -1: the dialog never appears.
//
// CaptureDlg.cpp holds the dialog's set-up and its controls, CaptureSession.cpp a session's start,
// captures and end as the dialog shows them, CaptureExports.cpp the exports of sessions, ApplyTexts.cpp
// the texts of a language.
// Posted by the export thread to the main dialog after an export failed.
constexpr UINT kExportFailedMessage = WM_APP + 1;
// Posted by the project watch: a session's edit was saved (ProjectWatch.h).
constexpr UINT kProjectSavedMessage = WM_APP + 2;

class CCaptureDlg : public CModalDialog
{
public:
    CCaptureDlg();
    ~CCaptureDlg() override;

protected:
    bool OnInit() override;
    bool OnCommand(int code, int itemId) override;
    bool OnButtonClicked(int buttonId) override;
    bool OnClose() override;
    bool OnPaint() override;
    HICON OnQueryDragIcon() override { return m_icon; }
    void OnLayout() override { Layout(); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnTimer(UINT_PTR timerId) override;

private:
    CListBox WindowList() const { return CListBox(Item(IDC_WINDOW_LIST)); }
    CListBox KeyList() const { return CListBox(Item(IDC_KEY_LIST)); }
    CComboBox LanguageList() const { return CComboBox(Item(IDC_LANGUAGE_LIST)); }

    void FillKeyList();
    void FillLanguageList();
    // The apply step: the texts of `language` on every control, the popup's included.
    void ApplyTexts(int language);
    void Layout();

    void OnLanguageChange();
    void OnRefresh();
    void OnAssignKey();
    void OnHelp();

    // A session, as the dialog starts, shows and ends it (CaptureSession.cpp).
    void OnCaptureButton();
    LRESULT OnCaptureMessage(int x, int y);
    void ShowSessionStarting();
    void ShowSessionActive(const char* targetTitle);
    void ShowSessionIdle();
    void EndSessionAndShow();
    // The info area: the presses and pictures so far during a session, else the last report.
    void ShowSessionProgress();
    void ShowLastSession();
    // Ends the session, if one runs, and says that the target window is gone.
    void ShowTargetGone();
    // What the session rules decided about a refused start or a press, shown as they decided it.
    void ApplyStartRefusal(const Failure& refusal);
    void ApplyPressReply(const PressReply& reply);
    // The steps file could not be written: says so in a box, once a session.
    void ShowStepsFailure(const CResult<void>& written) const;

    // The exports (CaptureExports.cpp): a session's player and animation are written on the export
    // thread, and its failures are shown once it posts kExportFailedMessage.
    // At start: removes what unfinished exports left, watches for saved edits and exports the sessions
    // whose edit is newer than their files.
    void StartExports();
    void ExportSession(int session);
    // Exports a session again for its edit, unless that is what its last export read.
    void ExportEdit(int session);
    // Each session whose edit is newer than its player or animation.
    void ExportEditedSessions();
    void OnProjectSaved(WPARAM session, LPARAM watchEnded);
    void ShowExportFailures(WPARAM unrecordedSession = 0, LPARAM unrecorded = 0);

    HICON m_icon;
    bool m_workDirRecorded = false;
    CRunningInstance m_instance;
    CHookLibrary m_hooks;
    CAboutDlg m_about;
    CFramePopup m_popup;
    CSessionExport m_export; // the players and animations of ended and edited sessions
    CProjectWatch m_watch;
    CStepRecorder m_steps; // the running session's steps file
};
