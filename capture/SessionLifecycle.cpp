#include "capture/SessionLifecycle.h"

#include "capture/SessionNumber.h"
#include "capture/SessionReport.h"
#include "common/TextFormat.h"
#include "state/SessionState.h"

SessionPlan PlanSession(const DirListing& workDirEntries)
{
    SessionPlan plan;
    if (ScanSessionNumber(workDirEntries) == kNoSessionNumber)
        return plan;
    plan.numbered = true;
    g_session.frameTotal = 1;
    const int n = g_session.sessionNumber;
    plan.pathsFit =
        FormatText(plan.sessionDir, sizeof plan.sessionDir, "%s/%s%d", {g_workDir, "session", n}) &&
        FormatText(plan.templatePath, sizeof plan.templatePath, "%s/template.fla", {g_workDir}) &&
        FormatText(g_session.destinationFile, sizeof g_session.destinationFile, "%s/%s%d.fla",
                   {plan.sessionDir, "destinationFLA", n});
    return plan;
}

void DeleteStalePictures(const char* sessionDir, const std::function<bool(const char* path)>& deleteFile)
{
    char name[kPathBytes];
    for (int k = 1; FormatText(name, sizeof name, "%s/imageBMP%d.bmp", {sessionDir, k}); ++k)
        if (!deleteFile(name))
            break;
}

bool EndSessionRecords()
{
    const bool wrotePictures = g_session.imageCounter != 1;
    if (wrotePictures)
        RecordSessionReport();
    g_session.imageCounter = 1;
    g_session.patcherSteps = 0;
    g_session.previousOffset = 0;
    g_session.lastCaptureX = 0;
    g_session.lastCaptureY = 0;
    return wrotePictures;
}

CaptureVerdict JudgeCapture(int written, int templateCapacity)
{
    if (written >= templateCapacity)
        return CaptureVerdict::TemplateFull;
    if (written == -1)
        return CaptureVerdict::TargetLost;
    return CaptureVerdict::Continue;
}
