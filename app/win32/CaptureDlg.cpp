#include "app/win32/CaptureDlg.h"

#include "app/win32/CurrentDirectory.h"
#include "app/win32/FatalOutputBox.h"
#include "app/win32/StartupSteps.h"
#include "app/win32/WindowList.h"
#include "capture/KeyText.h"
#include "capture/win32/Session.h"
#include "common/TextFormat.h"
#include "common/win32/Dpi.h"
#include "output/FatalOutput.h"
#include "state/TextTable.h"
#include "state/WorkingDirectory.h"
#include "state/win32/NoticeBox.h"
#include "state/win32/SessionWindows.h"

namespace {

constexpr int kFunctionKeys = 12;
// Half the gap between the Help and About buttons, in pixels at 96 dots per inch.
constexpr int kHalfButtonGap = 5;

} // namespace

CCaptureDlg::CCaptureDlg() : CModalDialog(IDD_CAPTURE_DIALOG)
{
    m_icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_workDirRecorded = RecordWorkingDirectory();
}

CCaptureDlg::~CCaptureDlg()
{
    // Enter or Esc end the dialog without the close step; a running session's hook must not outlive
    // the library it comes from.
    AbandonSession();
    // The files are complete before the program ends; what failed meanwhile is shown without a dialog.
    m_export.Finish();
    ShowExportFailures();
}

bool CCaptureDlg::OnInit()
{
    CStartupSteps steps(m_instance, m_hooks, m_workDirRecorded);
    if (const std::optional<Notice> refusal = RunStartupSteps(steps)) {
        ShowNotice(Handle(), *refusal);
        DestroyUnshown();
        return false;
    }
    InstallFatalOutputBox(Handle());
    ::SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    ::SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    FillWindowList(WindowList());
    FillKeyList();
    ::ShowWindow(m_popup.Handle(), SW_SHOW);
    FillLanguageList();
    ApplyTexts(g_texts.current);
    Layout();
    m_hooks.SetWindowName(CurrentText(kTextTitle));
    m_hooks.SetDialog(Handle());
    StartExports();
    return true;
}

void CCaptureDlg::FillKeyList()
{
    // Inserted at explicit positions: the list box sorts, and adding would put F10 to F12 before F2.
    const CListBox keys = KeyList();
    for (int i = 0; i < kFunctionKeys; ++i) {
        char name[8];
        FormatText(name, sizeof name, "F%i", {i + 1});
        keys.InsertString(i, name);
    }
    keys.SetCurrentSelection(kVkF12 - kVkF1);
}

void CCaptureDlg::FillLanguageList()
{
    // By position, so that position i is language i.
    const CComboBox languages = LanguageList();
    for (int i = 0; i < g_texts.count; ++i)
        languages.InsertString(i, g_texts.names[i]);
    languages.SetCurrentSelection(g_texts.current);
}

void CCaptureDlg::Layout()
{
    // Help and About share the language list's width, with a gap between them that grows with the
    // display's scale like everything else in the dialog.
    const RECT list = ItemRect(IDC_LANGUAGE_LIST);
    const RECT help = ItemRect(IDC_HELP_BUTTON);
    const int halfGap = ScaleForWindow(Handle(), kHalfButtonGap);
    const int half = (list.right - list.left) / 2;
    const int width = half - halfGap;
    const int height = help.bottom - help.top;
    MoveItem(IDC_HELP_BUTTON, help.left, help.top, width, height);
    MoveItem(IDC_ABOUT_BUTTON, list.left + half + halfGap, help.top, width, height);
    ::SetWindowTextA(Handle(), CurrentText(kTextTitle));
}

bool CCaptureDlg::OnCommand(int code, int itemId)
{
    if (itemId == IDC_LANGUAGE_LIST && code == CBN_SELCHANGE) {
        OnLanguageChange();
        return true;
    }
    if (itemId == IDC_WINDOW_LIST && code == LBN_SELCHANGE) {
        EnableItem(IDC_CAPTURE, true);
        return true;
    }
    return CModalDialog::OnCommand(code, itemId);
}

bool CCaptureDlg::OnButtonClicked(int buttonId)
{
    switch (buttonId) {
    case IDC_HELP_BUTTON:
        OnHelp();
        return true;
    case IDC_ABOUT_BUTTON:
        m_about.DoModal(Handle());
        return true;
    case IDC_REFRESH:
        OnRefresh();
        return true;
    case IDC_CAPTURE:
        OnCaptureButton();
        return true;
    case IDC_ASSIGN_KEY:
        OnAssignKey();
        return true;
    case IDC_POPUP:
        m_popup.PopUp();
        return true;
    default:
        return CModalDialog::OnButtonClicked(buttonId);
    }
}

bool CCaptureDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    CResult<void> stepsWritten;
    if (m_steps.OnMessage(message, wParam, lParam, stepsWritten)) {
        ShowStepsFailure(stepsWritten);
        return true;
    }
    if (message == kExportFailedMessage) {
        ShowExportFailures(wParam, lParam);
        return true;
    }
    if (message == kProjectSavedMessage) {
        OnProjectSaved(wParam, lParam);
        return true;
    }
    if (message != WM_CAPTURE_KEY)
        return false;
    if (FatalOutputPending())
        return true;
    result = OnCaptureMessage(static_cast<int>(wParam), static_cast<int>(lParam));
    return true;
}

void CCaptureDlg::OnLanguageChange()
{
    const int selected = LanguageList().CurrentSelection();
    if (selected < 0 || selected >= g_texts.count)
        return;
    g_texts.current = selected;
    ApplyTexts(g_texts.current);
    Layout();
    m_hooks.SetWindowName(CurrentText(kTextTitle));
}

void CCaptureDlg::OnRefresh()
{
    const CListBox windows = WindowList();
    windows.ResetContent();
    EnableItem(IDC_CAPTURE, false);
    FillWindowList(windows);
}

void CCaptureDlg::OnAssignKey()
{
    const CaptureKey key{KeyList().CurrentSelection() + kVkF1, IsItemChecked(IDC_CTRL),
                         IsItemChecked(IDC_ALT), IsItemChecked(IDC_SHIFT)};
    m_hooks.SetCaptureKey(key);
    SetItemText(IDC_CURRENT_KEY, CaptureKeyText(m_hooks.CurrentCaptureKey()).c_str());
}

void CCaptureDlg::OnHelp()
{
    ShowNotice(Handle(), PlainNotice(CurrentText(kTextInstructions), kFixedHelpCaption, NoticeIcon::None));
}

bool CCaptureDlg::OnPaint()
{
    if (!::IsIconic(Handle()))
        return false;
    const CPaintDc dc(Handle());
    if (!dc)
        return true;
    ::SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    RECT client;
    ::GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.Get(), x, y, m_icon);
    return true;
}

bool CCaptureDlg::OnClose()
{
    m_popup.Destroy();
    m_steps.End(m_hooks);
    // The hook goes before the library it comes from.
    AbandonSession();
    m_hooks.Free();
    // Not handled: the default processing turns WM_CLOSE into IDCANCEL, which ends the dialog.
    return false;
}
