// The main dialog's side of the exports: what unfinished exports left goes at start; each session that
// ends, and each whose edit is newer than its player or animation, at start or once it is saved, is
// handed to the export thread; and what could not be written is shown in a box.
#include "app/win32/CaptureDlg.h"

#include "app/EditedSessions.h"
#include "app/ExportLeftovers.h"
#include "common/TextFormat.h"
#include "common/win32/CodePages.h"
#include "export/SessionFiles.h"
#include "state/SessionState.h"
#include "state/TextTable.h"
#include "state/WorkingDirectory.h"
#include "state/win32/NoticeBox.h"
#include "state/win32/SessionWindows.h"

#include <new>

namespace {

// The export's words are UTF-8 and may name paths beyond the ANSI code page.
TextId FailureText(int output)
{
    switch (output) {
    case kPlayerNotWritten:
        return kTextExportPlayerNotWritten;
    case kAnimationNotWritten:
        return kTextExportAnimationNotWritten;
    case kGifNotWritten:
        return kTextExportGifNotWritten;
    case kGuideNotWritten:
        return kTextExportGuideNotWritten;
    default:
        return kTextExportNotWritten;
    }
}

// In a box without owner: the dialog is not disabled behind it while a session may record.
void ShowExportFailure(HWND dialog, const ExportFailure& failure)
{
    const auto utf8 = [](TextId id) {
        return CodePageFromWide(CP_UTF8, WideFromCodePage(CP_ACP, CurrentText(id)));
    };
    const std::string why = failure.error.empty() ? utf8(kTextUnexpectedError) : failure.error;
    Notice notice;
    FormatText(notice.text, sizeof notice.text, utf8(FailureText(failure.output)).c_str(),
               {failure.session, why.c_str()});
    notice.caption = CurrentText(kTextTitle);
    notice.icon = NoticeIcon::Warning;
    notice.owned = false;
    notice.utf8 = true;
    notice.inFront = true;
    ShowNotice(dialog, notice);
}

} // namespace

void CCaptureDlg::StartExports()
{
    const std::wstring workDir = WideFromCodePage(CP_ACP, g_workDir);
    m_export.Prepare(g_workDir, Handle(), kExportFailedMessage);
    RemoveExportLeftovers(workDir);
    // The watch before the look at every session, so that no edit saved in between is missed. A watch
    // that cannot start is told of once the dialog shows.
    if (!m_watch.Start(workDir, Handle(), kProjectSavedMessage))
        ::PostMessageA(Handle(), kProjectSavedMessage, kEveryEditMayHaveChanged, kWatchEnded);
    ExportEditedSessions();
}

void CCaptureDlg::ExportSession(int session)
{
    m_export.Add(session);
}

void CCaptureDlg::ExportEdit(int session)
{
    // The session being recorded is exported when it ends, with the edit saved meanwhile.
    if (!SessionActive() || session != g_session.sessionNumber)
        m_export.AddIfEditIsNew(session);
}

void CCaptureDlg::ExportEditedSessions()
{
    for (int session : SessionsBehindTheirEdit(WideFromCodePage(CP_ACP, g_workDir)))
        ExportEdit(session);
}

void CCaptureDlg::OnProjectSaved(WPARAM session, LPARAM watchEnded)
{
    if (session == kEveryEditMayHaveChanged)
        ExportEditedSessions();
    else
        ExportEdit(static_cast<int>(session));
    if (watchEnded == kWatchEnded)
        ShowNotice(Handle(),
                   PlainNotice(CurrentText(kTextWatchEnded), CurrentText(kTextTitle), NoticeIcon::Warning));
}

void CCaptureDlg::ShowExportFailures(WPARAM unrecordedSession, LPARAM unrecorded)
{
    if (unrecorded == kExportFailureUnrecorded)
        ShowExportFailure(Handle(),
                          {static_cast<int>(unrecordedSession), kTakeNotOpened, std::bad_alloc().what()});
    for (const ExportFailure& failure : m_export.TakeFailures())
        ShowExportFailure(Handle(), failure);
}
