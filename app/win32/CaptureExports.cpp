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
#include "state/win32/SessionWindows.h"

#include <new>

namespace {

// The export's words are UTF-8 and may name paths beyond the ANSI code page, so the box is a wide one.
constexpr int kFailureBytes = 2048;

TextId FailureText(int output)
{
    switch (output) {
    case kPlayerNotWritten:
        return kTextExportPlayerNotWritten;
    case kAnimationNotWritten:
        return kTextExportAnimationNotWritten;
    case kGifNotWritten:
        return kTextExportGifNotWritten;
    default:
        return kTextExportNotWritten;
    }
}

// In a box without owner: the dialog is not disabled behind it while a session may record.
void ShowExportFailure(const ExportFailure& failure)
{
    const std::string format =
        CodePageFromWide(CP_UTF8, WideFromCodePage(CP_ACP, CurrentText(FailureText(failure.output))));
    char text[kFailureBytes];
    FormatText(text, sizeof text, format.c_str(), {failure.session, failure.error.c_str()});
    ::MessageBoxW(nullptr, WideFromCodePage(CP_UTF8, text).c_str(),
                  WideFromCodePage(CP_ACP, CurrentText(kTextTitle)).c_str(),
                  MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND);
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
        ::MessageBoxA(Handle(), CurrentText(kTextWatchEnded), CurrentText(kTextTitle),
                      MB_OK | MB_ICONWARNING);
}

void CCaptureDlg::ShowExportFailures(WPARAM unrecordedSession, LPARAM unrecorded)
{
    if (unrecorded == kExportFailureUnrecorded)
        ShowExportFailure({static_cast<int>(unrecordedSession), kTakeNotOpened, std::bad_alloc().what()});
    for (const ExportFailure& failure : m_export.TakeFailures())
        ShowExportFailure(failure);
}
