#include "popup/win32/FramePopup.h"

#include "common/TextFormat.h"
#include "popup/FrameValidation.h"
#include "res/resource.h"
#include "state/FrameValues.h"
#include "state/SessionState.h"
#include "state/TextTable.h"
#include "state/win32/SessionWindows.h"

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

CFramePopup::CFramePopup() : CDialog(IDD_FRAME_POPUP)
{
    if (Create(nullptr))
        ::SetWindowTextA(Handle(), "Flickmere PopUp Window");
}

void CFramePopup::PopUp()
{
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetFocus(Handle());
}

bool CFramePopup::OnInit()
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
    return true;
}

void CFramePopup::ApplyTexts(int language)
{
    ::SetDlgItemTextA(Handle(), IDC_RETURN, LanguageText(language, kTextReturn));
    ::SetDlgItemTextA(Handle(), IDC_FRAME_LABEL, LanguageText(language, kTextFrame));
    ::SetDlgItemTextA(Handle(), IDC_OFFSET_LABEL, LanguageText(language, kTextOffset));
}

bool CFramePopup::OnButtonClicked(int buttonId)
{
    if (buttonId != IDC_RETURN)
        return CDialog::OnButtonClicked(buttonId);
    OnReturn();
    return true;
}

void CFramePopup::OnOK()
{
    Validate();
}

void CFramePopup::OnActivate(int state)
{
    // Values typed here are taken over at the latest when the user moves on, for instance into the
    // target window. The default processing (saving the focus) still runs.
    if (state == WA_INACTIVE)
        Validate();
}

bool CFramePopup::OnNcHitTest(LRESULT& hit)
{
    // The strip has no caption bar: it is dragged by its background.
    hit = HTCAPTION;
    return true;
}

void CFramePopup::Validate()
{
    char frame[32] = "";
    char offset[32] = "";
    ::GetDlgItemTextA(Handle(), IDC_FRAME_EDIT, frame, sizeof frame);
    ::GetDlgItemTextA(Handle(), IDC_OFFSET_EDIT, offset, sizeof offset);
    if (TakeOverFramePair(frame, offset, g_frameValues))
        ShowValues();
}

void CFramePopup::ShowValues()
{
    SetNumber(Item(IDC_FRAME_EDIT), g_frameValues.frame);
    SetNumber(Item(IDC_OFFSET_EDIT), g_frameValues.offset);
}

void CFramePopup::OnReturn()
{
    if (!SessionActive())
        return;
    ::BringWindowToTop(g_sessionWindows.target);
    ::SetCursorPos(g_session.lastCaptureX, g_session.lastCaptureY);
}
