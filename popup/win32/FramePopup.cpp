#include "popup/win32/FramePopup.h"

#include "common/TextFormat.h"
#include "state/SessionState.h"
#include "state/win32/SessionWindows.h"
#include "popup/FrameValidation.h"
#include "state/FrameValues.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {

constexpr int kValueDigits = 5;
constexpr int kLowest = 1;
constexpr int kHighest = 0x10000;

void SetNumber(HWND edit, int value)
{
    char text[16];
    FormatText(text, sizeof text, "%i", {value});
    ::SetWindowTextA(edit, text);
}

void PrepareValue(HWND dialog, int editId, int spinId, int value)
{
    const HWND edit = ::GetDlgItem(dialog, editId);
    SetNumber(edit, value);
    ::SendMessageA(edit, EM_LIMITTEXT, kValueDigits, 0);
    const HWND spin = ::GetDlgItem(dialog, spinId);
    ::SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    ::SendMessageA(spin, UDM_SETRANGE32, kLowest, kHighest);
}

} // namespace

CFrameRate::CFrameRate() : CDialog(IDD_FRAMERATE)
{
    if (Create(nullptr))
        ::SetWindowTextA(Handle(), "Flickmere PopUp Window");
}

void CFrameRate::PopUp()
{
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetFocus(Handle());
}

BOOL CFrameRate::OnInitDialog()
{
    PrepareValue(Handle(), IDC_FRAME_EDIT, IDC_FRAME_SPIN, g_frameValues.frame);
    PrepareValue(Handle(), IDC_OFFSET_EDIT, IDC_OFFSET_SPIN, g_frameValues.offset);

    // Centred on the mouse cursor.
    POINT cursor;
    RECT rect;
    if (::GetCursorPos(&cursor) && ::GetWindowRect(Handle(), &rect)) {
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        ::SetWindowPos(Handle(), nullptr, cursor.x - width / 2, cursor.y - height / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

bool CFrameRate::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case IDOK:
        Validate();
        return true;
    case IDC_RETURN:
        if (code == BN_CLICKED)
            OnReturn();
        return true;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

bool CFrameRate::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    switch (message) {
    case WM_ACTIVATE:
        // Values typed here are taken over at the latest when the user moves on, for instance into the
        // target window. The default processing (saving the focus) still runs.
        if (LOWORD(wParam) == WA_INACTIVE)
            Validate();
        return false;
    case WM_NCHITTEST:
        // The strip has no caption bar: it is dragged by its background.
        result = HTCAPTION;
        return true;
    default:
        return false;
    }
}

void CFrameRate::Validate()
{
    char frame[32] = "";
    char offset[32] = "";
    ::GetDlgItemTextA(Handle(), IDC_FRAME_EDIT, frame, sizeof frame);
    ::GetDlgItemTextA(Handle(), IDC_OFFSET_EDIT, offset, sizeof offset);
    if (TakeOverFramePair(frame, offset, g_frameValues))
        ShowValues();
}

void CFrameRate::ShowValues()
{
    SetNumber(Item(IDC_FRAME_EDIT), g_frameValues.frame);
    SetNumber(Item(IDC_OFFSET_EDIT), g_frameValues.offset);
}

void CFrameRate::OnReturn()
{
    if (!SessionActive())
        return;
    ::BringWindowToTop(g_sessionWindows.target);
    ::SetCursorPos(g_session.lastCaptureX, g_session.lastCaptureY);
}
