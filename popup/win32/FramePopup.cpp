#include "popup/win32/FramePopup.h"

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
constexpr int kHighest = kMaxFrameValue;

} // namespace

CFramePopup::CFramePopup() : CModelessDialog(IDD_FRAME_POPUP)
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
    PrepareValue(IDC_FRAME_EDIT, IDC_FRAME_SPIN, g_frameValues.frame);
    PrepareValue(IDC_OFFSET_EDIT, IDC_OFFSET_SPIN, g_frameValues.offset);

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

void CFramePopup::PrepareValue(int editId, int spinId, int value)
{
    SetItemInt(editId, value);
    SendItemMessage(editId, EM_LIMITTEXT, kValueDigits);
    SendItemMessage(spinId, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(editId)));
    SendItemMessage(spinId, UDM_SETRANGE32, kLowest, kHighest);
}

void CFramePopup::ApplyTexts(int language)
{
    SetItemText(IDC_RETURN, LanguageText(language, kTextReturn));
    SetItemText(IDC_FRAME_LABEL, LanguageText(language, kTextFrame));
    SetItemText(IDC_OFFSET_LABEL, LanguageText(language, kTextOffset));
}

bool CFramePopup::OnButtonClicked(int buttonId)
{
    if (buttonId != IDC_RETURN)
        return CModelessDialog::OnButtonClicked(buttonId);
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
    if (TakeOverFramePair(ItemText(IDC_FRAME_EDIT).c_str(), ItemText(IDC_OFFSET_EDIT).c_str(),
                          g_frameValues) == FramePair::Refused)
        ShowValues();
}

void CFramePopup::ShowValues()
{
    SetItemInt(IDC_FRAME_EDIT, g_frameValues.frame);
    SetItemInt(IDC_OFFSET_EDIT, g_frameValues.offset);
}

void CFramePopup::OnReturn()
{
    if (!SessionActive())
        return;
    ::BringWindowToTop(g_sessionWindows.target);
    ::SetCursorPos(g_session.lastCaptureX, g_session.lastCaptureY);
}
