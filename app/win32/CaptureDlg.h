#pragma once
#include "app/win32/AboutDlg.h"
#include "common/win32/Dialog.h"
#include "app/win32/RunningInstance.h"
#include "capture/win32/HookLibrary.h"
#include "popup/win32/FramePopup.h"

// The main dialog: the whole program is this one modal dialog.
//
// Its creation step (texts and languages, the offset tables, the hook library) runs first thing in
// WM_INITDIALOG, before anything is shown: a dialog procedure never sees WM_CREATE, and at that point
// the window exists, so the failure boxes are owned by it, yet it is still hidden. A failure refuses
// the dialog (the window is destroyed and DoModal returns -1) without it ever appearing. It starts
// with two checks of its own: no other copy runs, and the working directory could be recorded.
class CCaptureDlg : public CDialog
{
public:
    CCaptureDlg();
    ~CCaptureDlg() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool RunCreationStep();
    void Layout();
    void FillKeyList();
    void FillLanguageList();
    void OnLanguageChange();
    void OnRefresh();
    void OnAssignKey();
    void OnHelp();
    bool OnPaint();
    void OnClose();

    HICON m_icon;
    bool m_workDirRecorded = false;
    CRunningInstance m_instance;
    CHookLibrary m_hooks;
    CMyAbout m_about;
    CFrameRate m_popup;
};
