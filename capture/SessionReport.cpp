#include "capture/SessionReport.h"

#include "common/TextFormat.h"
#include "state/SessionState.h"

void RecordSessionReport()
{
    g_session.reportPresent = true;
    g_session.reportSession = g_session.sessionNumber;
    g_session.reportFrame = g_session.frameTotal;
    g_session.reportImage = g_session.imageCounter;
}

void FormatSessionReport(char* out, size_t size, const char* format)
{
    FormatText(out, size, format, {g_session.reportSession, g_session.reportFrame + 1, g_session.reportImage});
}
