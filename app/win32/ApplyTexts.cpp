#include "app/win32/ApplyTexts.h"

#include "common/TextFormat.h"
#include "state/TextTable.h"
#include "common/win32/DirectoryListing.h"
#include "capture/SessionReport.h"
#include "state/SessionState.h"
#include "state/win32/SessionWindows.h"
#include "res/resource.h"

namespace {

constexpr int kReportBytes = 260;

} // namespace

void EnumerateLanguageFiles()
{
    char pattern[16];
    FormatText(pattern, sizeof pattern, "*.%s", {"lan"});
    ReadLanguageFiles(ListDirectory(pattern));
}

void ApplyTexts(HWND dialog, HWND popup, int language)
{
    const auto text = [language](int id) { return LanguageText(language, id); };
    const auto set = [](HWND window, int id, const char* value) { ::SetDlgItemTextA(window, id, value); };

    set(dialog, IDC_ABOUT_BUTTON, text(0));
    set(dialog, IDC_GROUP_WINDOWS, text(1));
    set(dialog, IDC_GROUP_KEY, text(2));
    set(dialog, IDC_REFRESH, text(3));
    set(dialog, IDC_CAPTURE, text(SessionActive() ? kTextUncapture : kTextCapture));
    RefreshCurrentText(language, kTextCapture);
    set(dialog, IDC_POPUP, text(5));
    set(dialog, IDC_ASSIGN_KEY, text(6));
    set(dialog, IDC_CURRENT_KEY_LABEL, text(7));
    set(dialog, IDC_GROUP_INFO, text(8));
    set(dialog, IDC_CAPTURED_LABEL, text(9));
    set(dialog, IDC_LAST_SESSION_LABEL, text(10));
    set(dialog, IDC_HELP_BUTTON, text(11));
    RefreshCurrentText(language, kTextError);
    RefreshCurrentText(language, kTextReport);
    if (g_session.reportPresent) {
        char report[kReportBytes];
        FormatSessionReport(report, sizeof report, text(kTextReport));
        set(dialog, IDC_LAST_SESSION, report);
    }
    RefreshCurrentText(language, kTextNone);
    // During a session the field names the target window; "None" would be wrong until it ends.
    if (!SessionActive())
        set(dialog, IDC_CAPTURED_WINDOW, CurrentText(kTextNone));
    for (int id : {kTextCantOpenTemplate, kTextUncapture, kTextTemplateFull, kTextTargetNotFound, kTextCorruptFile,
                   kTextInstructions})
        RefreshCurrentText(language, id);
    set(popup, IDC_RETURN, text(kTextReturn));
    set(popup, IDC_FRAME_LABEL, text(kTextFrame));
    set(popup, IDC_OFFSET_LABEL, text(kTextOffset));
    RefreshCurrentText(language, kTextTitle);
}
