#include "common/win32/Dialog.h"

#include "common/TextFormat.h"

#include <algorithm>
#include <exception>
#include <new>

std::vector<CDialog*> CDialog::s_open;

namespace {

constexpr int kHandlerMessageBytes = 512;

void ReportHandlerFailure(const char* what)
{
    char message[kHandlerMessageBytes];
    FormatText(message, sizeof message, "Flickmere could not finish what it was doing: %s.", {what});
    ::MessageBoxA(nullptr, message, "Error!", MB_OK | MB_ICONERROR);
}

} // namespace

CDialog::~CDialog()
{
    Destroy();
}

void CDialog::Destroy()
{
    if (m_hwnd && ::IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

bool CDialog::Create(HWND owner)
{
    m_modal = false;
    m_ended = false;
    ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner, DialogProc,
                         reinterpret_cast<LPARAM>(this));
    return m_hwnd != nullptr;
}

INT_PTR CDialog::DoModal(HWND owner)
{
    m_modal = true;
    m_ended = false;
    m_result = -1;
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner, DialogProc,
                         reinterpret_cast<LPARAM>(this));
    if (!m_hwnd)
        return -1;
    // Like DialogBox, a modal dialog shows itself whether or not its template says WS_VISIBLE.
    if (!m_ended && !::IsWindowVisible(m_hwnd))
        ::ShowWindow(m_hwnd, SW_SHOWNORMAL);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);

    MSG msg;
    while (!m_ended) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave WM_QUIT for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (!TranslateForOpenDialogs(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    if (ownerWasEnabled)
        ::EnableWindow(owner, TRUE);
    Destroy();
    return m_result;
}

bool CDialog::TranslateForOpenDialogs(MSG& msg)
{
    if (!msg.hwnd)
        return false;
    const HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    for (CDialog* dialog : s_open)
        if (dialog->m_hwnd == root && ::IsDialogMessageA(root, &msg))
            return true;
    return false;
}

void CDialog::End(INT_PTR result)
{
    m_result = result;
    m_ended = true;
    if (m_modal) {
        ::ShowWindow(m_hwnd, SW_HIDE);
        // Wake the modal loop so that it sees the end at once.
        ::PostMessageA(m_hwnd, WM_NULL, 0, 0);
    } else {
        ::ShowWindow(m_hwnd, SW_HIDE);
    }
}

void CDialog::Refuse()
{
    m_result = -1;
    m_ended = true;
    ::DestroyWindow(m_hwnd);
}

bool CDialog::OnCommand(int code, int itemId)
{
    return code == BN_CLICKED && OnButtonClicked(itemId);
}

bool CDialog::OnButtonClicked(int buttonId)
{
    switch (buttonId) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case WM_INITDIALOG:
        return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
        return OnClose() ? TRUE : FALSE;
    case WM_PAINT:
        return OnPaint() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
        // One of the few messages whose answer is the dialog procedure's own result.
        return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam));
        return FALSE;
    case WM_TIMER:
        return OnTimer(wParam) ? TRUE : FALSE;
    case WM_NCHITTEST:
        if (!OnNcHitTest(result))
            return FALSE;
        break;
    default:
        if (message < WM_USER || !OnUserMessage(message, wParam, lParam, result))
            return FALSE;
        break;
    }
    ::SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hwnd = hwnd;
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        s_open.push_back(dialog);
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!dialog)
        return FALSE;
    if (message == WM_NCDESTROY) {
        s_open.erase(std::remove(s_open.begin(), s_open.end(), dialog), s_open.end());
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        dialog->m_hwnd = nullptr;
        return FALSE;
    }
    // Nothing may unwind into the window manager: a handler that throws has done nothing more, and the
    // user is told, since whatever it was doing is now unfinished.
    try {
        return dialog->Dispatch(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        ReportHandlerFailure("out of memory");
    } catch (const std::exception& e) {
        ReportHandlerFailure(e.what());
    } catch (...) {
        ReportHandlerFailure("unexpected error");
    }
    return FALSE;
}
