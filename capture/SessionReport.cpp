#include "capture/SessionReport.h"

#include "common/TextFormat.h"
#include "state/SessionState.h"
#include "state/TextTable.h"

void RecordSessionReport()
{
    g_session.reportPresent = true;
    g_session.reportSession = g_session.sessionNumber;
    g_session.reportFrame = g_session.frameTotal;
    g_session.reportImage = g_session.imageCounter;
}

void FormatSessionReport(char* out, size_t size, const char* format)
{
    FormatText(out, size, format,
               {g_session.reportSession, g_session.reportFrame + 1, g_session.reportImage});
}

void FormatSessionProgress(char* out, size_t size)
{
    const int pictures = g_session.imageCounter - 1;
    char pressText[kTextBytes];
    char pictureText[kTextBytes];
    FormatText(pressText, sizeof pressText,
               CurrentText(g_session.presses == 1 ? kTextOnePress : kTextPresses), {g_session.presses});
    FormatText(pictureText, sizeof pictureText, CurrentText(pictures == 1 ? kTextOnePicture : kTextPictures),
               {pictures});
    FormatText(out, size, CurrentText(kTextProgress), {pressText, pictureText});
}
