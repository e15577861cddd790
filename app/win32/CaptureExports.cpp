// The main dialog's side of the exports: what unfinished exports left goes at start, each session that
// ends is handed to the export thread, and what could not be written is shown in a box.
#include "app/win32/CaptureDlg.h"

#include "app/ExportLeftovers.h"
#include "common/TextFormat.h"
#include "common/win32/CodePages.h"
#include "export/SessionFiles.h"
#include "state/TextTable.h"
#include "state/WorkingDirectory.h"

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
    m_export.Prepare(g_workDir, Handle(), kExportFailedMessage);
    RemoveExportLeftovers(WideFromCodePage(CP_ACP, g_workDir));
}

void CCaptureDlg::ExportSession(int session)
{
    m_export.Add(session);
}

void CCaptureDlg::ShowExportFailures(WPARAM unrecordedSession, LPARAM unrecorded)
{
    if (unrecorded == kExportFailureUnrecorded)
        ShowExportFailure({static_cast<int>(unrecordedSession), kTakeNotOpened, std::bad_alloc().what()});
    for (const ExportFailure& failure : m_export.TakeFailures())
        ShowExportFailure(failure);
}
