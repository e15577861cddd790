#include "capture/SessionLifecycle.h"

#include "capture/SessionNumber.h"
#include "capture/SessionReport.h"
#include "common/SessionNames.h"
#include "common/TextFormat.h"
#include "output/OutputStep.h"
#include "state/SessionState.h"

#include <cstring>
#include <limits>

namespace {

bool NamePaths(int n, char (&sessionDir)[kPathBytes], char (&templatePath)[kPathBytes],
               char (&destinationFile)[kPathBytes])
{
    return FormatText(sessionDir, sizeof sessionDir, "%s/%s%d", {g_workDir, kSessionWord, n}) &&
           FormatText(templatePath, sizeof templatePath, "%s/%s", {g_workDir, kTemplateFileName}) &&
           FormatText(destinationFile, sizeof destinationFile, "%s/%s%d%s",
                      {sessionDir, kDestinationStem, n, kDestinationExtension});
}

} // namespace

SessionPlan PlanSession(const DirListing& workDirEntries)
{
    SessionPlan plan;
    const SessionNumberScan scan = ScanSessionNumber(workDirEntries);
    if (scan.next == kNoSessionNumber)
        return plan;
    plan.numbered = true;
    plan.sessionNumber = scan.next;
    plan.highestSessionFound = scan.highest;
    plan.pathsFit = NamePaths(plan.sessionNumber, plan.sessionDir, plan.templatePath, plan.destinationFile);
    return plan;
}

void ApplySessionPlan(const SessionPlan& plan)
{
    g_session.sessionNumber = plan.sessionNumber;
    g_session.highestSessionFound = plan.highestSessionFound;
    g_session.frameTotal = 1;
    g_session.presses = 0;
    std::memcpy(g_session.destinationFile, plan.destinationFile, sizeof g_session.destinationFile);
}

bool SessionPathsFit()
{
    const int largest = std::numeric_limits<int>::max();
    char sessionDir[kPathBytes];
    char templatePath[kPathBytes];
    char destinationFile[kPathBytes];
    char picture[kPathBytes];
    return NamePaths(largest, sessionDir, templatePath, destinationFile) &&
           BitmapFileName(picture, sizeof picture, largest, largest);
}

CResult<void> CreateSessionFolder(SessionPlan& plan, const FolderCreator& createFolder)
{
    for (;;) {
        if (!plan.pathsFit)
            return Refusal(StartRefusal::TemplateNotCopied, plan.templatePath);
        const CResult<bool> created = createFolder(plan.sessionDir);
        if (!created)
            return Refusal(StartRefusal::FolderNotCreated, plan.sessionDir, created.Error().systemError);
        if (*created)
            return {};
        if (plan.sessionNumber == std::numeric_limits<int>::max())
            return Refusal(StartRefusal::NoSessionNumber);
        ++plan.sessionNumber;
        plan.pathsFit =
            NamePaths(plan.sessionNumber, plan.sessionDir, plan.templatePath, plan.destinationFile);
    }
}

void DeleteStalePictures(const char* sessionDir, const std::function<bool(const char* path)>& deleteFile)
{
    char name[kPathBytes];
    for (int k = 1;
         FormatText(name, sizeof name, "%s/%s%d%s", {sessionDir, kPictureStem, k, kPictureExtension}); ++k)
        if (!deleteFile(name))
            break;
}

bool EndSessionRecords()
{
    const bool wrotePictures = g_session.imageCounter != 1;
    if (wrotePictures)
        RecordSessionReport();
    g_session.imageCounter = 1;
    g_session.presses = 0;
    g_session.patcherSteps = 0;
    g_session.previousOffset = 0;
    g_session.lastCaptureX = 0;
    g_session.lastCaptureY = 0;
    return wrotePictures;
}
