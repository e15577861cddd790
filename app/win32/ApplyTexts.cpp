// The main dialog's apply step: the texts of a language on its controls and the popup's, and the
// current texts that messages read.
#include "app/win32/CaptureDlg.h"

#include "res/resource.h"
#include "state/TextTable.h"
#include "state/win32/SessionWindows.h"

namespace {

struct ControlText
{
    int controlId;
    TextId textId;
};

// Captions that depend on nothing but the language.
const ControlText kCaptions[] = {
    {IDC_ABOUT_BUTTON, kTextAbout},
    {IDC_GROUP_WINDOWS, kTextWindowsGroup},
    {IDC_GROUP_KEY, kTextKeyGroup},
    {IDC_REFRESH, kTextRefresh},
    {IDC_POPUP, kTextPopUp},
    {IDC_ASSIGN_KEY, kTextAssignKey},
    {IDC_CURRENT_KEY_LABEL, kTextCurrentKey},
    {IDC_GROUP_INFO, kTextInfoGroup},
    {IDC_CAPTURED_LABEL, kTextCapturedWindow},
    {IDC_LAST_SESSION_LABEL, kTextLastSession},
    {IDC_HELP_BUTTON, kTextHelp},
};

} // namespace

void CCaptureDlg::ApplyTexts(int language)
{
    for (const ControlText& caption : kCaptions)
        SetItemText(caption.controlId, LanguageText(language, caption.textId));
    SetItemText(IDC_CAPTURE, LanguageText(language, SessionActive() ? kTextUncapture : kTextCapture));
    RefreshCurrentTexts(language);
    if (SessionActive())
        ShowSessionProgress();
    else
        ShowLastSession();
    // During a session the field names the target window; "None" would be wrong until it ends.
    if (!SessionActive())
        SetItemText(IDC_CAPTURED_WINDOW, CurrentText(kTextNone));
    m_popup.ApplyTexts(language);
}
