#include "app/win32/CaptureDlg.h"

#include "common/TextFormat.h"
#include "state/TextTable.h"
#include "app/win32/ApplyTexts.h"
#include "app/win32/CurrentDirectory.h"
#include "app/win32/WindowList.h"
#include "capture/CaptureState.h"
#include "capture/KeyText.h"
#include "capture/win32/Session.h"
#include "state/win32/SessionWindows.h"
#include "output/OffsetTables.h"
#include "res/resource.h"

namespace {

constexpr int kMessageBytes = 260;

const char kAlreadyRunningMessage[] =
    "Flickmere is already running.\nOnly one copy can record at a time: please use the one that is open.";
const char kNoWorkDirMessage[] =
    "Can't read the working directory: its path must be shorter than 260 characters.";

void ShowStartupError(HWND owner, const char* format, const char* fileName, UINT icon)
{
    char message[kMessageBytes];
    FormatText(message, sizeof message, format, {fileName});
    ::MessageBoxA(owner, message, "Error!", MB_OK | icon);
}

// A check box counts as set when ticked or indeterminate.
bool IsSet(HWND dialog, int id)
{
    return (::SendDlgItemMessageA(dialog, id, BM_GETSTATE, 0, 0) & 3) != 0;
}

} // namespace

CCaptureDlg::CCaptureDlg() : CDialog(IDD_CAPTURE_DIALOG)
{
    m_icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_workDirRecorded = RecordWorkingDirectory();
}

CCaptureDlg::~CCaptureDlg()
{
    // Enter or Esc end the dialog without the close step; a running session's hook must not outlive
    // the library it comes from.
    g_sessionWindows.hook.Reset();
}

bool CCaptureDlg::RunCreationStep()
{
    if (!m_instance.Claim()) {
        ::MessageBoxA(Handle(), kAlreadyRunningMessage, "Error!", MB_OK | MB_ICONERROR);
        return false;
    }
    if (!m_workDirRecorded) {
        ::MessageBoxA(Handle(), kNoWorkDirMessage, "Error!", MB_OK | MB_ICONERROR);
        return false;
    }
    FillDefaultTexts();
    EnumerateLanguageFiles();

    const int capacity = LoadBitmapOffsets();
    if (capacity == -1) {
        ShowStartupError(Handle(), "Can't open INI file: %s!", "bmpoffs.ini", MB_ICONERROR);
        return false;
    }
    if (capacity == 0) {
        ShowStartupError(Handle(), "INI file: %s is empty!", "bmpoffs.ini", MB_ICONERROR);
        return false;
    }
    if (LoadCursorOffsets() == -1) {
        ShowStartupError(Handle(), "Can't open INI file: %s!", "curoffs.ini", MB_ICONERROR);
        return false;
    }
    if (LoadFrameOffsets() == -1) {
        ShowStartupError(Handle(), "Can't open INI file: %s!", "frmoffs.ini", MB_ICONERROR);
        return false;
    }
    if (!m_hooks.Load()) {
        ::MessageBoxA(Handle(), "Can't load HookDll.dll.", "Error!", MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

BOOL CCaptureDlg::OnInitDialog()
{
    if (!RunCreationStep()) {
        Refuse();
        return FALSE;
    }
    ::SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    ::SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    FillWindowList(Item(IDC_WINDOW_LIST));
    FillKeyList();
    ::ShowWindow(m_popup.Handle(), SW_SHOW);
    FillLanguageList();
    ApplyTexts(Handle(), m_popup.Handle(), g_texts.current);
    Layout();
    m_hooks.SetWindowName(CurrentText(kTextTitle));
    return TRUE;
}

void CCaptureDlg::FillKeyList()
{
    // Inserted at explicit positions: the list box sorts, and adding would put F10 to F12 before F2.
    const HWND keys = Item(IDC_KEY_LIST);
    for (int i = 0; i < 12; ++i) {
        char name[8];
        FormatText(name, sizeof name, "F%i", {i + 1});
        ::SendMessageA(keys, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(name));
    }
    ::SendMessageA(keys, LB_SETCURSEL, 11, 0);
}

void CCaptureDlg::FillLanguageList()
{
    // By position, so that position i is language i.
    const HWND list = Item(IDC_LANGUAGE_LIST);
    for (int i = 0; i < g_texts.count; ++i)
        ::SendMessageA(list, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(g_texts.names[i]));
    ::SendMessageA(list, CB_SETCURSEL, g_texts.current, 0);
}

void CCaptureDlg::Layout()
{
    RECT client;
    ::GetClientRect(Handle(), &client);
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    ::ClientToScreen(Handle(), &corners[0]);
    ::ClientToScreen(Handle(), &corners[1]);
    RECT list, help;
    ::GetWindowRect(Item(IDC_LANGUAGE_LIST), &list);
    ::GetWindowRect(Item(IDC_HELP_BUTTON), &help);
    // The two buttons share the language list's width with a 10-pixel gap.
    const int half = (list.right - list.left) / 2;
    const int y = help.top - corners[0].y;
    const int height = help.bottom - help.top;
    ::MoveWindow(Item(IDC_HELP_BUTTON), help.left - corners[0].x, y, half - 5, height, TRUE);
    ::MoveWindow(Item(IDC_ABOUT_BUTTON), list.left + half + 5 - corners[0].x, y, half - 5, height, TRUE);
    ::SetWindowTextA(Handle(), CurrentText(kTextTitle));
}

bool CCaptureDlg::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_LANGUAGE_LIST) {
        if (code == CBN_SELCHANGE)
            OnLanguageChange();
        return true;
    }
    if (id == IDC_WINDOW_LIST) {
        if (code == LBN_SELCHANGE)
            ::EnableWindow(Item(IDC_CAPTURE), TRUE);
        return true;
    }
    if (code != BN_CLICKED)
        return CDialog::OnCommand(id, code, control);
    switch (id) {
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
        if (SessionActive())
            EndSession(Handle());
        else
            StartSession(Handle(), m_hooks);
        return true;
    case IDC_ASSIGN_KEY:
        OnAssignKey();
        return true;
    case IDC_POPUP:
        m_popup.PopUp();
        return true;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

bool CCaptureDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_CAPTURE_KEY:
        result = OnCaptureMessage(Handle(), wParam, lParam);
        return true;
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(m_icon);
        return true;
    case WM_CLOSE:
        OnClose();
        // The default processing turns WM_CLOSE into IDCANCEL, which ends the dialog.
        return false;
    default:
        return false;
    }
}

void CCaptureDlg::OnLanguageChange()
{
    const LRESULT selected = ::SendMessageA(Item(IDC_LANGUAGE_LIST), CB_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= g_texts.count)
        return;
    g_texts.current = static_cast<int>(selected);
    ApplyTexts(Handle(), m_popup.Handle(), g_texts.current);
    Layout();
    m_hooks.SetWindowName(CurrentText(kTextTitle));
}

void CCaptureDlg::OnRefresh()
{
    ::SendMessageA(Item(IDC_WINDOW_LIST), LB_RESETCONTENT, 0, 0);
    ::EnableWindow(Item(IDC_CAPTURE), FALSE);
    FillWindowList(Item(IDC_WINDOW_LIST));
}

void CCaptureDlg::OnAssignKey()
{
    const bool ctrl = IsSet(Handle(), IDC_CTRL);
    const bool shift = IsSet(Handle(), IDC_SHIFT);
    const LRESULT selected = ::SendMessageA(Item(IDC_KEY_LIST), LB_GETCURSEL, 0, 0);
    const bool alt = IsSet(Handle(), IDC_ALT);
    m_hooks.SetCaptureKey(static_cast<int>(selected) + kVkF1, shift, ctrl, alt);
    int key = 0;
    bool gotShift = false, gotCtrl = false, gotAlt = false;
    m_hooks.GetCaptureKey(key, gotShift, gotCtrl, gotAlt);
    ::SetDlgItemTextA(Handle(), IDC_CURRENT_KEY, CaptureKeyText(key, gotShift, gotCtrl, gotAlt).c_str());
}

void CCaptureDlg::OnHelp()
{
    ::MessageBoxA(Handle(), CurrentText(kTextInstructions), "Instruction", MB_OK);
}

bool CCaptureDlg::OnPaint()
{
    if (!::IsIconic(Handle()))
        return false;
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(Handle(), &paint);
    ::SendMessageA(Handle(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(Handle(), &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_icon);
    ::EndPaint(Handle(), &paint);
    return true;
}

void CCaptureDlg::OnClose()
{
    m_popup.Destroy();
    if (SessionActive())
        g_sessionWindows.hook.Reset();
    m_hooks.Free();
    ReleaseComparisonImage();
}
