#include "common/win32/Dialog.h"

#include "common/TextFormat.h"

#include <algorithm>
#include <exception>
#include <new>

std::vector<CDialog*> CDialog::s_open;

namespace {

constexpr int kHandlerMessageBytes = 512;
constexpr int kNumberBytes = 16;
// Posted to a dialog to run its layout once the dialog manager has finished with a DPI change.
constexpr UINT kLayoutAfterDpiChange = WM_APP + 0x3F0;

// Fixed English: a handler may fail before the text table is read (the main dialog's start-up runs in
// one), and this base of every dialog sits below the text table.
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

bool CDialog::CreateFromTemplate(HWND owner)
{
    ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner, DialogProc,
                         reinterpret_cast<LPARAM>(this));
    return m_hwnd != nullptr;
}

void CDialog::SetItemText(int id, const char* text) const
{
    ::SetDlgItemTextA(m_hwnd, id, text);
}

std::string CDialog::ItemText(int id) const
{
    const HWND item = Item(id);
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CDialog::SetItemInt(int id, int value) const
{
    char text[kNumberBytes];
    FormatText(text, sizeof text, "%i", {value});
    SetItemText(id, text);
}

void CDialog::EnableItem(int id, bool enable) const
{
    ::EnableWindow(Item(id), enable ? TRUE : FALSE);
}

bool CDialog::IsItemChecked(int id) const
{
    return SendItemMessage(id, BM_GETCHECK) != BST_UNCHECKED;
}

LRESULT CDialog::SendItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendDlgItemMessageA(m_hwnd, id, message, wParam, lParam);
}

RECT CDialog::ItemRect(int id) const
{
    RECT rect{};
    ::GetWindowRect(Item(id), &rect);
    ::MapWindowPoints(HWND_DESKTOP, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CDialog::MoveItem(int id, int x, int y, int width, int height) const
{
    ::MoveWindow(Item(id), x, y, width, height, TRUE);
}

void CDialog::CentreOnOwner() const
{
    const HWND owner = ::GetWindow(m_hwnd, GW_OWNER);
    RECT outer, own;
    if (!owner || !::GetWindowRect(owner, &outer) || !::GetWindowRect(m_hwnd, &own))
        return;
    const int x = (outer.left + outer.right - (own.right - own.left)) / 2;
    const int y = (outer.top + outer.bottom - (own.bottom - own.top)) / 2;
    ::SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

void CDialog::OnDpiChanged(int /*dpi*/, const RECT& suggested)
{
    ::SetWindowPos(m_hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::PostMessageA(m_hwnd, kLayoutAfterDpiChange, 0, 0);
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
    case WM_DPICHANGED:
        // Not handled: the dialog manager's default processing scales the controls after this.
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return FALSE;
    case kLayoutAfterDpiChange:
        OnLayout();
        return TRUE;
    default:
        if (!OnMessage(message, wParam, lParam, result))
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
