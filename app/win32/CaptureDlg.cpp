#include "app/win32/CaptureDlg.h"

#include "app/win32/CurrentDirectory.h"
#include "app/win32/FatalOutputBox.h"
#include "app/win32/WindowList.h"
#include "capture/CaptureState.h"
#include "capture/KeyText.h"
#include "capture/SessionLifecycle.h"
#include "capture/SessionReport.h"
#include "capture/win32/Session.h"
#include "capture/win32/WindowCapture.h"
#include "common/TextFormat.h"
#include "common/win32/DirectoryListing.h"
#include "common/win32/Dpi.h"
#include "output/FatalOutput.h"
#include "output/OffsetTables.h"
#include "output/TemplatePatcher.h"
#include "res/resource.h"
#include "state/SessionState.h"
#include "state/TextTable.h"
#include "state/Utf8Text.h"
#include "state/WorkingDirectory.h"
#include "state/win32/AnsiCodePage.h"
#include "state/win32/SessionWindows.h"

#include <cstdlib>
#include <string>

namespace {

constexpr int kMessageBytes = 260;
constexpr int kFunctionKeys = 12;
// Half the gap between the Help and About buttons, in pixels at 96 dots per inch.
constexpr int kHalfButtonGap = 5;
// While a session runs, the target window is looked for this often, so that closing it ends the
// session within about a second.
constexpr UINT_PTR kTargetWatchTimer = 1;
constexpr UINT kTargetWatchMilliseconds = 250;

const char kNoSessionNumberMessage[] =
    "No new session folder can be made: a session folder here already has the largest number there can "
    "be (session2147483647).\nMove or rename that folder, then press Capture again.";

// The system's words for `error`, or its number when the system has none.
std::string SystemErrorText(DWORD error)
{
    char* text = nullptr;
    ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    CLocalMemory owned(text);
    if (text)
        return text;
    char fallback[64];
    FormatText(fallback, sizeof fallback, "Error %u", {static_cast<int32_t>(error)});
    return fallback;
}

// The error GetLastError holds, in a box without owner.
void ReportHookFailure()
{
    ::MessageBoxA(nullptr, SystemErrorText(::GetLastError()).c_str(), CurrentText(kTextError),
                  MB_OK | MB_ICONINFORMATION);
}

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
    RemoveSessionHooks();
}

void CCaptureDlg::ReadTexts()
{
    SetUtf8Converter(Utf8ToAnsiCodePage);
    FillDefaultTexts();
    char pattern[16];
    FormatText(pattern, sizeof pattern, "*.%s", {"lan"});
    ReadLanguageFiles(ListDirectory(pattern));
}

int CCaptureDlg::LoadBitmapOffsets()
{
    return ::LoadBitmapOffsets();
}

int CCaptureDlg::LoadCursorOffsets()
{
    return ::LoadCursorOffsets();
}

int CCaptureDlg::LoadFrameOffsets()
{
    return ::LoadFrameOffsets();
}

bool CCaptureDlg::OnInit()
{
    StartupRefusal refusal;
    if (!RunCreationSteps(*this, refusal)) {
        const UINT icon =
            refusal.information ? MB_ICONINFORMATION : (refusal.warning ? MB_ICONWARNING : MB_ICONERROR);
        ::MessageBoxA(Handle(), refusal.message, refusal.caption, MB_OK | icon);
        Refuse();
        return false;
    }
    InstallFatalOutputBox(Handle());
    ::SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    ::SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    FillWindowList(Item(IDC_WINDOW_LIST));
    FillKeyList();
    ::ShowWindow(m_popup.Handle(), SW_SHOW);
    FillLanguageList();
    ApplyTexts(g_texts.current);
    Layout();
    m_hooks.SetWindowName(CurrentText(kTextTitle));
    m_hooks.SetDialog(Handle());
    return true;
}

void CCaptureDlg::FillKeyList()
{
    // Inserted at explicit positions: the list box sorts, and adding would put F10 to F12 before F2.
    const HWND keys = Item(IDC_KEY_LIST);
    for (int i = 0; i < kFunctionKeys; ++i) {
        char name[8];
        FormatText(name, sizeof name, "F%i", {i + 1});
        ::SendMessageA(keys, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(name));
    }
    ::SendMessageA(keys, LB_SETCURSEL, kVkF12 - kVkF1, 0);
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
    // The two buttons share the language list's width, with a gap between them that grows with the
    // display's scale like everything else in the dialog.
    const int halfGap = ScaleForWindow(Handle(), kHalfButtonGap);
    const int half = (list.right - list.left) / 2;
    const int y = help.top - corners[0].y;
    const int height = help.bottom - help.top;
    ::MoveWindow(Item(IDC_HELP_BUTTON), help.left - corners[0].x, y, half - halfGap, height, TRUE);
    ::MoveWindow(Item(IDC_ABOUT_BUTTON), list.left + half + halfGap - corners[0].x, y, half - halfGap, height,
                 TRUE);
    ::SetWindowTextA(Handle(), CurrentText(kTextTitle));
}

bool CCaptureDlg::OnCommand(int code, int itemId)
{
    if (itemId == IDC_LANGUAGE_LIST && code == CBN_SELCHANGE) {
        OnLanguageChange();
        return true;
    }
    if (itemId == IDC_WINDOW_LIST && code == LBN_SELCHANGE) {
        ::EnableWindow(Item(IDC_CAPTURE), TRUE);
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
    if (message != WM_CAPTURE_KEY)
        return false;
    if (FatalOutputPending())
        return true;
    result = OnCaptureMessage(static_cast<int>(wParam), static_cast<int>(lParam));
    return true;
}

void CCaptureDlg::OnLanguageChange()
{
    const LRESULT selected = ::SendMessageA(Item(IDC_LANGUAGE_LIST), CB_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= g_texts.count)
        return;
    g_texts.current = static_cast<int>(selected);
    ApplyTexts(g_texts.current);
    Layout();
    m_hooks.SetWindowName(CurrentText(kTextTitle));
}

void CCaptureDlg::OnRefresh()
{
    ::SendMessageA(Item(IDC_WINDOW_LIST), LB_RESETCONTENT, 0, 0);
    ::EnableWindow(Item(IDC_CAPTURE), FALSE);
    FillWindowList(Item(IDC_WINDOW_LIST));
}

void CCaptureDlg::OnCaptureButton()
{
    if (SessionActive()) {
        EndSessionAndShow();
        return;
    }
    const HWND list = Item(IDC_WINDOW_LIST);
    const LRESULT selection = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    const HWND target = reinterpret_cast<HWND>(::SendMessageA(list, LB_GETITEMDATA, selection, 0));
    if (!::IsWindow(target)) {
        // Closed since the list was filled: nothing is created, and the list shows what is there now.
        OnRefresh();
        ShowTargetGone();
        return;
    }
    // The previous session's player is still being written: its folder and number stay its own.
    m_export.Wait();
    SessionPlan plan = PlanSession(ListDirectory("*.*"));
    if (!plan.numbered) {
        // Nothing has been created or deleted, and the dialog is still idle.
        ::MessageBoxA(Handle(), kNoSessionNumberMessage, CurrentText(kTextError), MB_OK | MB_ICONERROR);
        return;
    }
    char refusal[kMessageBytes];
    if (!TemplateHoldsEveryRecord(plan.templatePath, refusal, sizeof refusal)) {
        ::MessageBoxA(Handle(), refusal, CurrentText(kTextError), MB_OK | MB_ICONERROR);
        return;
    }
    ShowSessionStarting();
    char title[256] = "";
    if (::SendMessageA(list, LB_GETTEXTLEN, selection, 0) < static_cast<LRESULT>(sizeof title))
        ::SendMessageA(list, LB_GETTEXT, selection, reinterpret_cast<LPARAM>(title));

    switch (StartSession(plan, target, m_hooks)) {
    case SessionStart::TemplateNotCopied: {
        char message[kMessageBytes];
        FormatText(message, sizeof message, CurrentText(kTextCantOpenTemplate), {plan.templatePath});
        ::MessageBoxA(Handle(), message, CurrentText(kTextError), MB_OK | MB_ICONHAND);
        std::exit(kFatalExitStatus);
    }
    case SessionStart::NoSessionNumber:
        ::MessageBoxA(Handle(), kNoSessionNumberMessage, CurrentText(kTextError), MB_OK | MB_ICONERROR);
        ShowSessionIdle();
        break;
    case SessionStart::FolderNotCreated: {
        const std::string reason = SystemErrorText(::GetLastError());
        char message[2 * kMessageBytes];
        FormatText(message, sizeof message, "Can't create the session folder %s:\n%s",
                   {plan.sessionDir, reason.c_str()});
        ::MessageBoxA(Handle(), message, CurrentText(kTextError), MB_OK | MB_ICONERROR);
        ShowSessionIdle();
        break;
    }
    case SessionStart::HookNotInstalled:
        ReportHookFailure();
        ShowSessionIdle();
        break;
    case SessionStart::Started:
        ShowSessionActive(title);
        ShowSessionProgress();
        ::SetTimer(Handle(), kTargetWatchTimer, kTargetWatchMilliseconds, nullptr);
        break;
    }
}

LRESULT CCaptureDlg::OnCaptureMessage(int x, int y)
{
    const int written = CaptureTargetWindow(x, y);
    switch (JudgeCapture(written, TemplateCapacity())) {
    case CaptureVerdict::TemplateFull:
        EndSessionAndShow();
        ::MessageBoxA(Handle(), CurrentText(kTextTemplateFull), CurrentText(kTextTemplateFull), MB_OK);
        return 1;
    case CaptureVerdict::TargetLost:
        // Also for a message queued before the session ended, while no session is active.
        ShowTargetGone();
        return 1;
    case CaptureVerdict::Continue:
        break;
    }
    // Every press shows that it was taken, also one that changed nothing.
    if (SessionActive())
        ShowSessionProgress();
    return written;
}

void CCaptureDlg::ShowSessionStarting()
{
    ::SetDlgItemTextA(Handle(), IDC_CAPTURE, "Please Wait");
    ::EnableWindow(Item(IDC_CAPTURE), FALSE);
    ::EnableWindow(Item(IDC_WINDOW_LIST), FALSE);
    ::EnableWindow(Item(IDC_REFRESH), FALSE);
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

void CCaptureDlg::ShowSessionActive(const char* targetTitle)
{
    ::SetDlgItemTextA(Handle(), IDC_CAPTURED_WINDOW, targetTitle);
    ::SetDlgItemTextA(Handle(), IDC_CAPTURE, CurrentText(kTextUncapture));
    ::EnableWindow(Item(IDC_CAPTURE), TRUE);
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

void CCaptureDlg::ShowSessionIdle()
{
    ::SetDlgItemTextA(Handle(), IDC_CAPTURE, CurrentText(kTextCapture));
    ::EnableWindow(Item(IDC_CAPTURE), TRUE);
    ::SetDlgItemTextA(Handle(), IDC_CAPTURED_WINDOW, CurrentText(kTextNone));
    ::EnableWindow(Item(IDC_WINDOW_LIST), TRUE);
    ::EnableWindow(Item(IDC_REFRESH), TRUE);
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
}

bool CCaptureDlg::OnTimer(UINT_PTR timerId)
{
    if (timerId != kTargetWatchTimer)
        return false;
    if (TargetGone() && !FatalOutputPending())
        ShowTargetGone();
    return true;
}

void CCaptureDlg::ShowTargetGone()
{
    if (SessionActive())
        EndSessionAndShow();
    ::MessageBoxA(Handle(), CurrentText(kTextTargetNotFound), "HWND Problem", MB_OK);
}

void CCaptureDlg::EndSessionAndShow()
{
    ::KillTimer(Handle(), kTargetWatchTimer);
    const bool wrotePictures = g_session.imageCounter != 1;
    EndSession();
    if (wrotePictures)
        m_export.Start(g_workDir, g_session.sessionNumber);
    ShowSessionIdle();
    ShowLastSession();
}

void CCaptureDlg::ShowLastSession()
{
    // A session that wrote no picture leaves the earlier report, or none.
    char text[kMessageBytes] = "";
    if (g_session.reportPresent)
        FormatSessionReport(text, sizeof text, CurrentText(kTextReport));
    ::SetDlgItemTextA(Handle(), IDC_LAST_SESSION, text);
}

void CCaptureDlg::ShowSessionProgress()
{
    char text[kMessageBytes];
    FormatSessionProgress(text, sizeof text);
    ::SetDlgItemTextA(Handle(), IDC_LAST_SESSION, text);
}

void CCaptureDlg::OnAssignKey()
{
    const bool ctrl = IsItemChecked(IDC_CTRL);
    const bool shift = IsItemChecked(IDC_SHIFT);
    const LRESULT selected = ::SendMessageA(Item(IDC_KEY_LIST), LB_GETCURSEL, 0, 0);
    const bool alt = IsItemChecked(IDC_ALT);
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
    const CPaintDc dc(Handle());
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
    if (SessionActive())
        RemoveSessionHooks();
    m_hooks.Free();
    ReleaseComparisonImage();
    // Not handled: the default processing turns WM_CLOSE into IDCANCEL, which ends the dialog.
    return false;
}
